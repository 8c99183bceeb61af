#include "msh_geometry.h"

#include <algorithm>
#include <cmath>

namespace msh_geometry {
namespace {
constexpr double kTolerance = 1e-9;
}

Point minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

Point cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Point centroid(std::span<const Point> points) {
    Point sum{};
    for (const Point& p : points)
        for (int axis = 0; axis < 3; ++axis) sum[axis] += p[axis] / static_cast<double>(points.size());
    return sum;
}

Point polygonNormal(std::span<const Point> polygon) {
    Point normal{};
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
        normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
        normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return normal;
}

bool turnsOneWay(std::span<const Point> polygon, const Point& normal) {
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point turn = cross(minus(polygon[(i + 1) % n], polygon[i]), minus(polygon[(i + 2) % n], polygon[(i + 1) % n]));
        if (dot(turn, normal) < -kTolerance) return false;
    }
    return true;
}

bool Plane::holds(const Point& p) const { return std::abs(dot(normal, p) - offset) < kTolerance; }

std::vector<Plane> boundingPlanes(std::span<const Point> corners) {
    std::vector<Plane> planes;
    const std::size_t n = corners.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            for (std::size_t k = j + 1; k < n; ++k) {
                Point normal = cross(minus(corners[j], corners[i]), minus(corners[k], corners[i]));
                const double length = std::sqrt(dot(normal, normal));
                if (length < kTolerance) continue;
                for (double& c : normal) c /= length;
                const double offset = dot(normal, corners[i]);
                const auto side = [&](const Point& p) { return dot(normal, p) - offset; };
                const bool allBelow = std::all_of(corners.begin(), corners.end(), [&](const Point& p) { return side(p) < kTolerance; });
                const bool allAbove = std::all_of(corners.begin(), corners.end(), [&](const Point& p) { return side(p) > -kTolerance; });
                if (!allBelow && !allAbove) continue;
                Plane plane{normal, offset};
                if (!allBelow) plane = {{-normal[0], -normal[1], -normal[2]}, -offset};
                const bool known = std::any_of(planes.begin(), planes.end(), [&](const Plane& other) {
                    return dot(other.normal, plane.normal) > 1 - kTolerance && std::abs(other.offset - plane.offset) < kTolerance;
                });
                if (!known) planes.push_back(plane);
            }
    return planes;
}

}  // namespace msh_geometry
