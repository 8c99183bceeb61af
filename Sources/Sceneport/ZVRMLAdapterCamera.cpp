// Placing the model in the scene: its centre and largest coordinate for the viewpoint, the
// camera position of a window, and the split of the host's camera matrix into the scale,
// rotation and translation of the global model transform.
//
// The precision steps (single-precision roots of double sums, float narrowing at fixed points)
// are kept as they are so that the numbers written agree with earlier exports digit for digit.
#include "ZVRMLAdapter.h"
#include "ZVRMLWriter.h"

#include "hostapp.h"

#include <cmath>

void ZVRMLAdapter::calculateObjectCenter(float* nodeCoords, int nodeCount, float& largest,
                                         float* const center) {
    // Without nodes there is nothing to centre on: the origin, and 0 as the largest value.
    if (nodeCoords == nullptr || nodeCount < 1) {
        largest = 0.0f;
        center[0] = center[1] = center[2] = 0.0f;
        return;
    }
    float maximum[3] = {nodeCoords[0], nodeCoords[1], nodeCoords[2]};
    float sum[3] = {0.0f, 0.0f, 0.0f};
    for (int node = 0; node < nodeCount; ++node) {
        const float* xyz = nodeCoords + 3 * static_cast<long long>(node);
        for (int axis = 0; axis < 3; ++axis) {
            if (xyz[axis] > maximum[axis]) maximum[axis] = xyz[axis];
            sum[axis] += xyz[axis];
        }
    }
    // The largest signed coordinate on any axis: not an extent, not an absolute value.
    const float xz = maximum[0] > maximum[2] ? maximum[0] : maximum[2];
    largest = maximum[1] > xz ? maximum[1] : xz;
    for (int axis = 0; axis < 3; ++axis) center[axis] = sum[axis] / static_cast<float>(nodeCount);
}

void ZVRMLAdapter::exportViewPoint(const double* /*cameraPosition*/, float largest,
                                   float* const center) {
    // The viewpoint looks along the model's own axis; the host's camera position is not used.
    globalVRMLWriter.writeViewpoint(largest, center);
}

void ZVRMLAdapter::getCameraPosition(WindowStr* window, double* const position) {
    position[0] = position[1] = position[2] = 0.0;
    IZEView3D* view = zeapputl::GetAppRoot()->GetView3D(window);
    if (view == nullptr) return;
    view->GetCameraPosition(position[0], position[1], position[2]);
}

void ZVRMLAdapter::getIndividualTransformationsFromMatrix(double (&matrix)[4][4],
                                                          float (&scale)[3],
                                                          float (&rotation)[4],
                                                          float (&translation)[3]) {
    // Rows 0 to 2 carry the scaled rotation: each row's length is that axis's scale.
    for (int row = 0; row < 3; ++row) {
        const double squares = (matrix[row][0] * matrix[row][0] + matrix[row][1] * matrix[row][1]) +
                               matrix[row][2] * matrix[row][2];
        scale[row] = std::sqrt(static_cast<float>(squares));
    }
    if (std::isinf(scale[0]) || std::isinf(scale[1]) || std::isinf(scale[2]))
        scale[0] = scale[1] = scale[2] = 1.0f;

    // Only the diagonal is normalised, and the caller keeps it so.
    for (int axis = 0; axis < 3; ++axis)
        matrix[axis][axis] = matrix[axis][axis] / static_cast<double>(scale[axis]);

    // Axis and angle of the rotation; the cosine is deliberately not clamped to [-1, 1].
    const double angle = std::acos((matrix[0][0] + matrix[1][1] + matrix[2][2] - 1.0) * 0.5);
    const double axis[3] = {matrix[2][1] - matrix[1][2], matrix[0][2] - matrix[2][0],
                            matrix[1][0] - matrix[0][1]};
    const float length =
        std::sqrt(static_cast<float>((axis[1] * axis[1] + axis[0] * axis[0]) + axis[2] * axis[2]));
    for (int component = 0; component < 3; ++component)
        rotation[component] =
            length != 0.0f ? static_cast<float>(axis[component] / static_cast<double>(length)) : 0.0f;
    rotation[3] = static_cast<float>(angle);

    // Row 3 carries the translation. An infinite one puts the model at the origin; NaN passes.
    for (int component = 0; component < 3; ++component)
        translation[component] = static_cast<float>(matrix[3][component]);
    if (std::isinf(translation[0]) || std::isinf(translation[1]) || std::isinf(translation[2]))
        translation[0] = translation[1] = translation[2] = 0.0f;
}
