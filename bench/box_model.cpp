#include "box_model.h"

#include "scene_builder.h"
#include "session.h"

#include <cmath>
#include <vector>

namespace bench {
namespace {

std::vector<float> gridPoints(int size) {
    const int side = size + 1;
    std::vector<float> xyz;
    xyz.reserve(3 * static_cast<size_t>(side) * side * side);
    for (int k = 0; k < side; ++k)
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) xyz.insert(xyz.end(), {float(i), float(j), float(k)});
    return xyz;
}

}  // namespace

std::vector<int> hexahedronNodes(int size) {
    const int side = size + 1;
    auto node = [side](int i, int j, int k) { return i + side * (j + side * k); };
    std::vector<int> connectivity;
    connectivity.reserve(8 * static_cast<size_t>(size) * size * size);
    for (int k = 0; k < size; ++k)
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i)
                connectivity.insert(connectivity.end(),
                                    {node(i, j, k), node(i + 1, j, k), node(i + 1, j + 1, k), node(i, j + 1, k),
                                     node(i, j, k + 1), node(i + 1, j, k + 1), node(i + 1, j + 1, k + 1),
                                     node(i, j + 1, k + 1)});
    return connectivity;
}

namespace {

// Values with many distinct digits, as a real result has, rather than round grid numbers.
float smoothValue(float x, float y, float z, int size) {
    const float scale = 3.14159265f / static_cast<float>(size);
    return 20.0f + 80.0f * std::sin(x * scale) * std::cos(0.5f * y * scale) + 0.37f * z;
}

host::Field nodeField(std::span<const float> xyz, int size) {
    host::Field field{kNodeFieldName, host::ValueLocation::Node, {}, {}};
    std::vector<float> values(xyz.size() / 3);
    for (size_t node = 0; node < values.size(); ++node)
        values[node] = smoothValue(xyz[3 * node], xyz[3 * node + 1], xyz[3 * node + 2], size);
    field.frames.push_back(std::move(values));
    return field;
}

host::Field elementField(int size) {
    host::Field field{kElementFieldName, host::ValueLocation::Element, {}, {}};
    std::vector<float> values;
    values.reserve(static_cast<size_t>(size) * size * size);
    for (int k = 0; k < size; ++k)
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) values.push_back(smoothValue(i + 0.5f, j + 0.5f, k + 0.5f, size));
    field.frames.push_back(std::move(values));
    return field;
}

}  // namespace

BoxModel buildBoxModel(int size, bool elementValues) {
    host::ModelBuilder model("Box of hexahedra");
    {
        const host::BatchedChanges oneUpdate(model.model());
        const std::vector<float> xyz = gridPoints(size);
        model.part("Box").nodes(xyz).elements(FE_MESH_HEXA8, hexahedronNodes(size));
        model.frames({0.0f});
        model.field(nodeField(xyz, size));
        if (elementValues) model.field(elementField(size));
    }
    // Per-element colours come from the spectrum of the model's first window, whichever window
    // is exported: that is the element window's, so its colours follow its own range.
    host::WindowBuilder elementWindow(model);
    if (elementValues)
        elementWindow.contour(kElementFieldName);
    else
        elementWindow.contour(kNodeFieldName, host::ValueLocation::Element);
    host::WindowBuilder nodeWindow(model);
    nodeWindow.contour(kNodeFieldName);
    host::showFrame(0);
    return {model.handle(), nodeWindow.handle(), elementWindow.handle(), size};
}

}  // namespace bench
