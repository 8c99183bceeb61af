#include "element_shape.h"

#include "mesh_types.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace element_shape {
namespace {

Point minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point cross(const Point& a, const Point& b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point mean(const std::vector<Point>& points) {
    Point m{};
    for (const Point& p : points)
        for (int a = 0; a < 3; ++a) m[a] += p[a] / static_cast<double>(points.size());
    return m;
}
Point normalOf(const std::vector<Point>& polygon) {  // twice the area, right-handed
    Point n{};
    for (size_t i = 0; i < polygon.size(); ++i)
        for (int a = 0; a < 3; ++a) n[a] += cross(polygon[i], polygon[(i + 1) % polygon.size()])[a];
    return n;
}
// Every turn goes the normal's way (straight runs allowed): a polygon that does cannot cross itself.
bool turnsOneWay(const std::vector<Point>& polygon, const Point& normal) {
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point &a = polygon[i], &b = polygon[(i + 1) % polygon.size()], &c = polygon[(i + 2) % polygon.size()];
        if (dot(cross(minus(b, a), minus(c, b)), normal) < -1e-12) return false;
    }
    return true;
}
void expectHalves(const std::string& name, const Point& middle, const Point& a, const Point& b) {
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(middle[axis], (a[axis] + b[axis]) / 2, 1e-12) << name;
}

}  // namespace

void expectHostShape(const std::string& name, int hostType, const std::function<Point(int)>& at, const std::vector<Point>& corners) {
    if (hostType < 0) {
        EXPECT_TRUE(std::count(corners.begin(), corners.end(), at(0)) && std::count(corners.begin(), corners.end(), at(1)) &&
                    at(0) != at(1)) << name << " keeps its ends";
        return;
    }
    const int nodes = host::kMeshTypes[hostType].nodesPerElement;
    for (const Point& corner : corners) {
        bool kept = false;
        for (int k = 0; k < nodes; ++k) kept = kept || at(k) == corner;
        EXPECT_TRUE(kept) << name << ": a corner is lost";
    }
    const mesh_faces::ElementFaces& kind = mesh_faces::kElementFaces[hostType];
    const auto polygonOf = [&](const mesh_faces::Face& face) {  // a collapsed corner taken once
        std::vector<Point> points;
        for (int k = 0; k < face.nodeCount; ++k)
            if (const Point p = at(face.positions[k]); points.empty() || (p != points.back() && p != points.front())) points.push_back(p);
        return points;
    };
    if (!host::isSolid(hostType)) {
        // Once round the perimeter with the element's full area, facing +z as the format orients it.
        const std::vector<Point> polygon = polygonOf(kind.faces[0]);
        const Point normal = normalOf(polygon);
        EXPECT_EQ(static_cast<int>(polygon.size()), nodes) << name;
        EXPECT_NEAR(normal[2], normalOf(corners)[2], 1e-9) << name;
        EXPECT_GT(normal[2], 0.0) << name;
        EXPECT_TRUE(turnsOneWay(polygon, normal)) << name;
        // A quadratic shell goes round corner, mid-side node, corner.
        for (size_t k = 1; static_cast<int>(corners.size()) < nodes && k < polygon.size(); k += 2)
            expectHalves(name + ": node " + std::to_string(k), polygon[k], polygon[k - 1], polygon[(k + 1) % polygon.size()]);
        return;
    }
    for (size_t f = 0; f < kind.faces.size(); ++f) {
        const std::string face = name + ": face " + std::to_string(f);
        const bool boundary = static_cast<int>(f) < kind.boundaryFaceCount;
        const std::vector<Point> polygon = polygonOf(kind.faces[f]);
        ASSERT_GE(polygon.size(), 3u) << face;
        const Point normal = normalOf(boundary ? polygon : polygonOf(kind.faces[f - kind.boundaryFaceCount]));
        const auto onPlane = [&](const Point& p) { return std::abs(dot(normal, minus(p, polygon[0]))) < 1e-9; };
        EXPECT_TRUE(std::all_of(polygon.begin(), polygon.end(), onPlane)) << face << " is not flat";
        EXPECT_GT(dot(normal, minus(mean(polygon), mean(corners))), 1e-9) << face << " faces inwards";
        EXPECT_TRUE(turnsOneWay(polygon, normalOf(polygon))) << face << " crosses itself";
        if (boundary) {
            EXPECT_EQ(std::count_if(corners.begin(), corners.end(), onPlane), static_cast<long>(polygon.size())) << face << " is not a whole side";
            continue;
        }
        // A mid-side face's k-th node halves the k-th edge of its boundary face.
        const mesh_faces::Face& side = kind.faces[f - kind.boundaryFaceCount];
        for (int k = 0; k < side.nodeCount; ++k)
            expectHalves(face, at(kind.faces[f].positions[k]), at(side.positions[k]), at(side.positions[(k + 1) % side.nodeCount]));
    }
}

}  // namespace element_shape
