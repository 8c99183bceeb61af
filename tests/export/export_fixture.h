// Whole exports as a host runs them: a scene built with the host's builder API, an adapter from
// the shared library, and the files it writes read back.
#pragma once

#include "ZVRMLAdapter.h"
#include "host_log.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

class ExportTest : public testing_support::HostTest {
protected:
    // A request for `model` in `window`, writing `name` in the test's directory.
    ZVRMLAdapter::ExportParams request(ModelStr* model, WindowStr* window,
                                       const std::string& name = "scene.wrl") {
        ZVRMLAdapter::ExportParams params;
        params.model = model;
        params.window = window;
        params.fileName = GuString(pathOf(name).c_str());
        return params;
    }

    std::string pathOf(const std::string& name) const { return (dir / name).string(); }

    // The file `name`, kept for the independent readers.
    std::string written(const std::string& name) {
        const std::string text = testing_support::readFile(dir / name);
        testing_support::keepVrmlSample(text);
        return text;
    }

    // The names of the files in the test's directory, sorted.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A plate of two quadrilaterals, nodes 0..5, for parts that must write a shape.
    static host::PartBuilder plate(host::ModelBuilder& model, const std::string& name) {
        return model.part(name)
            .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4});
    }
    // A one-dimensional part of two lines, which an export leaves out.
    static host::PartBuilder wire(host::ModelBuilder& model, const std::string& name) {
        return model.part(name).nodes({{0, 2, 0}, {1, 2, 0}, {2, 2, 0}}).lines({0, 1, 1, 2});
    }

    testing_support::TempDir dir;
    ZVRMLAdapter adapter;
};
