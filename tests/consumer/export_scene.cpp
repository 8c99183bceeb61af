// A host's smallest export through the installed plug-in: a contoured plate to DIRECTORY/plate.wrl.
#include "ZVRMLAdapter.h"
#include "scene_builder.h"
#include "session.h"

#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string path = std::string(argv[1]) + "/plate.wrl";
    host::resetSession();
    host::ModelBuilder model("Plate");
    model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}).elements(FE_MESH_QUAD4, {0, 1, 2, 3});
    model.frames({0.0f, 1.0f}).nodeField("height", [](int frame, int node) { return static_cast<float>(frame + node); });
    host::WindowBuilder window(model);
    window.contour("height").bands(4);
    ZVRMLAdapter adapter;
    ZVRMLAdapter::ExportParams request;
    request.model = model;
    request.window = window;
    request.fileName = GuString(path.c_str());
    request.exportContours = true;
    const int result = adapter.ExportVRMLData(request);
    std::ifstream file(path);
    std::string header;
    std::getline(file, header);
    if (result != 1 || !header.starts_with("#VRML V2.0 utf8")) {
        std::cerr << "export_scene: result " << result << ", first line \"" << header << "\"\n";
        return 1;
    }
    return 0;
}
