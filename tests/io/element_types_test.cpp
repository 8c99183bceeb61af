// Every row of the Gmsh element table, proven on Gmsh's own reference element: through the row's
// node order, the faces the writer draws for the host type must be the element's faces.
#include "io/gmsh_element_types.h"
#include "io/gmsh_session.h"
#include "model_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace host::io {
void PrintTo(const GmshElementType& row, std::ostream* out) { *out << "Gmsh type " << row.gmshType; }
}  // namespace host::io

namespace {

using host::io::GmshElementType;
using model_file::Point;

Point minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point cross(const Point& a, const Point& b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point mean(const std::vector<Point>& points) {
    Point m{};
    for (const Point& p : points)
        for (int a = 0; a < 3; ++a) m[a] += p[a] / points.size();
    return m;
}
Point normalOf(const std::vector<Point>& polygon) {  // twice the area, right-handed
    Point n{};
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point c = cross(polygon[i], polygon[(i + 1) % polygon.size()]);
        for (int a = 0; a < 3; ++a) n[a] += c[a];
    }
    return n;
}
// Every turn goes the normal's way (straight runs allowed): a polygon that does cannot cross itself.
bool turnsOneWay(const std::vector<Point>& polygon, const Point& normal) {
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        const Point& c = polygon[(i + 2) % polygon.size()];
        if (dot(cross(minus(b, a), minus(c, b)), normal) < -1e-12) return false;
    }
    return true;
}

class ElementRow : public ::testing::TestWithParam<GmshElementType> {};

TEST_P(ElementRow, DrawsTheElementsFaces) {
    host::io::startGmsh();
    const GmshElementType& row = GetParam();
    const model_file::ReferenceElement reference = model_file::referenceElement(row.gmshType);
    const std::string name = reference.name;
    ASSERT_EQ(static_cast<int>(reference.nodes.size()), row.gmshNodes) << name;
    std::vector<int> gmshNode(row.gmshPosition.begin(), row.gmshPosition.begin() + row.hostNodes());
    for (int corner = 0; corner < reference.corners; ++corner)
        EXPECT_TRUE(std::count(gmshNode.begin(), gmshNode.end(), corner)) << name << ": corner " << corner << " lost";
    const auto at = [&](int hostPosition) { return reference.nodes[gmshNode[hostPosition]]; };
    if (row.hostType == host::io::kLineElement) {
        EXPECT_EQ(std::abs(at(0)[0] - at(1)[0]), 2.0) << name << " keeps its ends";
        return;
    }
    const mesh_faces::ElementFaces& kind = mesh_faces::kElementFaces[row.hostType];
    // A face's points in order, a collapsed corner taken once.
    const auto polygonOf = [&](const mesh_faces::Face& face) {
        std::vector<int> nodes;
        for (int k = 0; k < face.nodeCount; ++k)
            if (nodes.empty() || (gmshNode[face.positions[k]] != nodes.back() && gmshNode[face.positions[k]] != nodes.front()))
                nodes.push_back(gmshNode[face.positions[k]]);
        std::vector<Point> points;
        for (int node : nodes) points.push_back(reference.nodes[node]);
        return points;
    };
    const std::vector<Point> corners(reference.nodes.begin(), reference.nodes.begin() + reference.corners);
    if (reference.dimension == 2) {
        // Once round the perimeter with the element's full area, facing +z as Gmsh orients it.
        const std::vector<Point> polygon = polygonOf(kind.faces[0]);
        EXPECT_EQ(polygon.size(), gmshNode.size()) << name;
        const Point normal = normalOf(polygon);
        EXPECT_NEAR(normal[2], normalOf(corners)[2], 1e-9) << name;
        EXPECT_GT(normal[2], 0.0) << name;
        EXPECT_TRUE(turnsOneWay(polygon, normal)) << name;
        // A quadratic shell goes round corner, mid-side node, corner: each mid-side node halves its edge.
        for (size_t k = 1; reference.corners < row.gmshNodes && k < polygon.size(); k += 2)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(polygon[k][axis], (polygon[k - 1][axis] + polygon[(k + 1) % polygon.size()][axis]) / 2, 1e-12) << name << ": node " << k;
        return;
    }
    for (size_t f = 0; f < kind.faces.size(); ++f) {
        const bool boundary = static_cast<int>(f) < kind.boundaryFaceCount;
        const std::vector<Point> polygon = polygonOf(kind.faces[f]);
        ASSERT_GE(polygon.size(), 3u) << name << ": face " << f;
        const Point normal = normalOf(boundary ? polygon : polygonOf(kind.faces[f - kind.boundaryFaceCount]));
        const auto onPlane = [&](const Point& p) { return std::abs(dot(normal, minus(p, polygon[0]))) < 1e-9; };
        EXPECT_TRUE(std::all_of(polygon.begin(), polygon.end(), onPlane)) << name << ": face " << f << " is not flat";
        EXPECT_GT(dot(normal, minus(mean(polygon), mean(corners))), 1e-9) << name << ": face " << f << " faces inwards";
        EXPECT_TRUE(turnsOneWay(polygon, normalOf(polygon))) << name << ": face " << f << " crosses itself";
        // Every corner kept and the face table closed (tests/writer), the sides are all different.
        if (boundary) {
            EXPECT_EQ(std::count_if(corners.begin(), corners.end(), onPlane), static_cast<long>(polygon.size())) << name << ": face " << f << " is not a whole side";
            continue;
        }
        // A mid-side face's k-th node halves the k-th edge of its boundary face.
        const mesh_faces::Face& side = kind.faces[f - kind.boundaryFaceCount];
        for (int k = 0; k < side.nodeCount; ++k) {
            const Point a = at(side.positions[k]), b = at(side.positions[(k + 1) % side.nodeCount]);
            const Point middle = at(kind.faces[f].positions[k]);
            for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(middle[axis], (a[axis] + b[axis]) / 2, 1e-12) << name << ": face " << f << " node " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Gmsh, ElementRow, ::testing::ValuesIn(host::io::kGmshElementTypes),
                         [](const auto& info) { return "Type" + std::to_string(info.param.gmshType); });

}  // namespace
