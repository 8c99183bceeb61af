#include "placement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {
namespace {

// The radius a framed model gets in scene units: from kSmallestRadius up to ten times it. Large
// enough that six decimals of a translation are precise, and that the model, pushed beyond the
// legend, still fills much of the picture.
constexpr double kSmallestRadius = 20.0;
// The viewpoint's field of view is 0.785 radians across the window's shorter side: a sphere of
// radius R seen from 2.8 R fills at most nine tenths of it, whichever way it is turned.
constexpr double kDistancePerRadius = 2.8;
// The legend hangs 35 units in front of the viewer; the model's nearest point stays beyond it.
constexpr double kLegendClearance = 40.0;

double powerOfTenFor(double radius) {
    if (!(radius > 0.0) || !std::isfinite(radius)) return 1.0;
    int exponent = static_cast<int>(std::ceil(std::log10(kSmallestRadius / radius)));
    // log10 may land a hair on either side of a whole number.
    while (radius * std::pow(10.0, exponent) < kSmallestRadius) ++exponent;
    while (radius * std::pow(10.0, exponent - 1) >= kSmallestRadius) --exponent;
    return std::pow(10.0, exponent);
}

}  // namespace

Placement framingPlacement(std::span<const float> xyz, const Matrix4& view, std::optional<double> fixedUnit) {
    Placement placement;
    placement.framesView = true;
    placement.view = view;
    const std::size_t nodes = xyz.size() / 3;
    if (nodes == 0) return placement;

    std::array<double, 3> low{xyz[0], xyz[1], xyz[2]}, high = low;
    for (std::size_t node = 0; node < nodes; ++node)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], static_cast<double>(xyz[3 * node + axis]));
            high[axis] = std::max(high[axis], static_cast<double>(xyz[3 * node + axis]));
        }
    for (int axis = 0; axis < 3; ++axis) placement.offset[axis] = (low[axis] + high[axis]) / 2.0;

    double squared = 0.0;
    for (std::size_t node = 0; node < nodes; ++node) {
        double sum = 0.0;
        for (int axis = 0; axis < 3; ++axis) {
            const double d = xyz[3 * node + axis] - placement.offset[axis];
            sum += d * d;
        }
        squared = std::max(squared, sum);
    }
    const double radius = std::sqrt(squared);
    placement.unit = fixedUnit ? 1.0 / *fixedUnit : powerOfTenFor(radius);
    placement.radius = radius * placement.unit;
    return placement;
}

Matrix4 framingCamera(const Placement& placement, std::span<const float> xyz) {
    Matrix4 camera = placement.view;
    const std::size_t nodes = xyz.size() / 3;
    if (nodes == 0) return camera;

    // The viewpoint stands over the mean of the nodes at twice their largest coordinate, as the
    // plug-in computes them from the same numbers.
    std::array<double, 3> sum{0.0, 0.0, 0.0};
    float largest = xyz[0];
    double squared = 0.0;
    for (std::size_t node = 0; node < nodes; ++node) {
        double distance = 0.0;
        for (int axis = 0; axis < 3; ++axis) {
            const float value = xyz[3 * node + axis];
            sum[axis] += value;
            largest = std::max(largest, value);
            distance += static_cast<double>(value) * value;
        }
        squared = std::max(squared, distance);
    }
    // The frame's own extent only ever widens the view, so a deformed model does not zoom in.
    double radius = std::max(placement.radius, std::sqrt(squared));
    if (!(radius > 0.0)) radius = 1.0;
    const double distance = std::max(kDistancePerRadius * radius, radius + kLegendClearance);
    camera[3][0] = sum[0] / static_cast<double>(nodes);
    camera[3][1] = sum[1] / static_cast<double>(nodes);
    camera[3][2] = 2.0 * static_cast<double>(largest) - distance;
    return camera;
}

std::string placementText(const Placement& placement) {
    char text[160];
    std::snprintf(text, sizeof text, "1 scene unit = %g file units, offset (%g, %g, %g) subtracted", 1.0 / placement.unit,
                  placement.offset[0], placement.offset[1], placement.offset[2]);
    return text;
}

}  // namespace host
