// A host application in a few lines: builds a small scene with the host's builder, exports it
// through the plug-in and checks the file. Usage: export_scene <directory to write into>.
// Exits 0 only when the export reports success and the file is a VRML 2.0 scene.
#include "ZVRMLAdapter.h"
#include "scene_builder.h"
#include "session.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: export_scene DIRECTORY\n";
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/plate.wrl";

    host::resetSession();
    host::ModelBuilder model("Plate");
    model.part("Plate")
        .nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})
        .elements(FE_MESH_QUAD4, {0, 1, 2, 3});
    model.frames({0.0f, 1.0f})
        .motion([](int frame, int, float* xyz) { xyz[2] += 0.5f * static_cast<float>(frame); })
        .nodeField("height", [](int frame, int node) { return static_cast<float>(frame + node); });
    host::WindowBuilder window(model);
    window.contour("height").bands(4);
    host::showFrame(1);

    ZVRMLAdapter adapter;
    ZVRMLAdapter::ExportParams request;
    request.model = model;
    request.window = window;
    request.fileName = GuString(path.c_str());
    request.exportContours = true;
    const int result = adapter.ExportVRMLData(request);
    if (result != 1) {
        std::cerr << "export_scene: the export returned " << result << ", not 1\n";
        return 1;
    }

    std::ifstream file(path);
    std::string header;
    std::getline(file, header);
    if (!header.starts_with("#VRML V2.0 utf8")) {
        std::cerr << "export_scene: " << path << " starts with \"" << header
                  << "\", not a VRML 2.0 header\n";
        return 1;
    }
    std::cout << "export_scene: wrote " << path << "\n";
    return 0;
}
