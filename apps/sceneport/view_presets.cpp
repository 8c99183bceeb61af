#include "view_presets.h"

#include <cmath>

namespace sceneport {
namespace {

constexpr std::array<ViewPreset, 4> kViewPresets{{
    {"top", {0, 0, 1}, {0, 1, 0}},    // down the z axis: the model as it is stored
    {"front", {0, -1, 0}, {0, 0, 1}},  // from -y, z up
    {"side", {1, 0, 0}, {0, 0, 1}},    // from +x, z up
    {"iso", {1, -1, 1}, {0, 0, 1}},    // from the corner between them, z up
}};

using Vector = std::array<double, 3>;

Vector cross(const Vector& a, const Vector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vector normalized(const Vector& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

}  // namespace

const ViewPreset* findViewPreset(std::string_view name) {
    for (const ViewPreset& preset : kViewPresets)
        if (name == preset.name) return &preset;
    return nullptr;
}

std::string viewPresetNames(std::string_view separator) {
    std::string names;
    for (const ViewPreset& preset : kViewPresets) {
        if (!names.empty()) names += separator;
        names += preset.name;
    }
    return names;
}

host::Matrix4 cameraMatrix(const ViewPreset& preset, const std::array<double, 3>& center) {
    // The view's axes in model coordinates are the rows of the rotation.
    const Vector viewZ = normalized(preset.towardViewer);
    const Vector viewX = normalized(cross(preset.up, viewZ));
    const Vector viewY = cross(viewZ, viewX);
    host::Matrix4 matrix = host::identityMatrix();
    const std::array<Vector, 3> rows{viewX, viewY, viewZ};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) matrix[row][column] = rows[row][column];
    // Turning about the centre: translation = centre - rotation × centre.
    for (int row = 0; row < 3; ++row) {
        double turned = 0.0;
        for (int column = 0; column < 3; ++column) turned += rows[row][column] * center[column];
        matrix[3][row] = center[row] - turned;
    }
    return matrix;
}

}  // namespace sceneport
