// Every row of the Gmsh element table, proven on Gmsh's own reference element: the faces the
// writer draws for the host type, through the row's node order, must be the element's faces.
#include "io/gmsh_element_types.h"
#include "msh_files.h"

#include "io/gmsh_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using host::io::GmshElementType;
using msh_geometry::Plane;
using msh_geometry::Point;

// The table's rows of one shape: lines, shells or solids.
std::vector<GmshElementType> rowsOfDimension(int dimension) {
    std::vector<GmshElementType> rows;
    for (const GmshElementType& row : host::io::kGmshElementTypes) {
        const int rowDimension = row.hostType == host::io::kLineElement ? 1 : host::kMeshTypes[row.hostType].dimension;
        if (rowDimension == dimension) rows.push_back(row);
    }
    return rows;
}

class GmshElementTypeTest : public ::testing::TestWithParam<GmshElementType> {
protected:
    void SetUp() override {
        host::io::startGmsh();
        reference = msh_files::referenceElement(GetParam().gmshType);
        ASSERT_EQ(static_cast<int>(reference.nodes.size()), GetParam().gmshNodes) << reference.name;
        ASSERT_EQ(reference.dimension, GetParam().hostType == host::io::kLineElement ? 1 : host::kMeshTypes[GetParam().hostType].dimension);
        for (int p = 0; p < GetParam().hostNodes(); ++p) hostNodes.push_back(GetParam().gmshPosition[p]);
    }

    // A face's Gmsh nodes in order, a collapsed corner taken once.
    std::vector<int> faceNodes(const ZVRMLFace& face) const {
        std::vector<int> nodes;
        for (int k = 0; k < face.nodeCount; ++k) {
            const int node = hostNodes[face.positions[k]];
            if (nodes.empty() || (node != nodes.back() && (k + 1 < face.nodeCount || node != nodes.front())))
                nodes.push_back(node);
        }
        return nodes;
    }

    std::vector<Point> points(const std::vector<int>& nodes) const {
        std::vector<Point> out;
        for (const int node : nodes) out.push_back(reference.nodes[node]);
        return out;
    }

    const ZVRMLElementKind& kind() const { return kVRMLElementKinds[kVRMLKindOfMeshType[GetParam().hostType]]; }

    msh_files::ReferenceElement reference;
    std::vector<int> hostNodes;  // per host position, the Gmsh node it takes
};

TEST_P(GmshElementTypeTest, KeepsEveryCorner) {
    for (int corner = 0; corner < reference.corners; ++corner)
        EXPECT_NE(std::find(hostNodes.begin(), hostNodes.end(), corner), hostNodes.end()) << reference.name << ": corner " << corner;
}

using GmshShellTypeTest = GmshElementTypeTest;
using GmshSolidTypeTest = GmshElementTypeTest;
using GmshLineTypeTest = GmshElementTypeTest;

TEST_P(GmshShellTypeTest, GoesOnceAroundItsPerimeterTheWayGmshOrientsIt) {
    const std::vector<Point> polygon = points(faceNodes(kind().faces[0]));
    ASSERT_EQ(polygon.size(), hostNodes.size()) << "every node once";
    const std::vector<Point> outline(reference.nodes.begin(), reference.nodes.begin() + reference.corners);
    const auto sameEdge = [&](const Point& a, const Point& b) {
        for (std::size_t c = 0; c < outline.size(); ++c) {
            const Point& from = outline[c];
            const Point& to = outline[(c + 1) % outline.size()];
            const auto onEdge = [&](const Point& p) {
                const Point along = msh_geometry::cross(msh_geometry::minus(to, from), msh_geometry::minus(p, from));
                const double t = msh_geometry::dot(msh_geometry::minus(p, from), msh_geometry::minus(to, from));
                return msh_geometry::dot(along, along) < 1e-18 && t > -1e-9 &&
                       t < msh_geometry::dot(msh_geometry::minus(to, from), msh_geometry::minus(to, from)) + 1e-9;
            };
            if (onEdge(a) && onEdge(b)) return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < polygon.size(); ++i)
        EXPECT_TRUE(sameEdge(polygon[i], polygon[(i + 1) % polygon.size()])) << reference.name << ": side " << i;
    // Walking the boundary with the element's full area, one way round, it cannot cross itself.
    const Point normal = msh_geometry::polygonNormal(polygon);
    EXPECT_NEAR(normal[2], msh_geometry::polygonNormal(outline)[2], 1e-9) << reference.name;
    EXPECT_GT(normal[2], 0.0) << reference.name;
    EXPECT_TRUE(msh_geometry::turnsOneWay(polygon, normal)) << reference.name;
}

TEST_P(GmshSolidTypeTest, FacesLieOnItsBoundaryFacingOutwards) {
    const std::vector<Point> corners(reference.nodes.begin(), reference.nodes.begin() + reference.corners);
    const std::vector<Plane> planes = msh_geometry::boundingPlanes(corners);
    ASSERT_EQ(static_cast<int>(planes.size()), kind().boundaryFaceCount) << reference.name;

    std::vector<int> planeOfFace;
    std::set<std::set<int>> seen;
    for (std::size_t f = 0; f < kind().faces.size(); ++f) {
        const std::vector<int> nodes = faceNodes(kind().faces[f]);
        const std::vector<Point> polygon = points(nodes);
        ASSERT_GE(polygon.size(), 3u) << reference.name << ": face " << f;
        EXPECT_TRUE(seen.insert(std::set<int>(nodes.begin(), nodes.end())).second) << reference.name << ": face " << f << " repeats";
        const auto plane = std::find_if(planes.begin(), planes.end(), [&](const Plane& p) {
            return std::all_of(polygon.begin(), polygon.end(), [&](const Point& node) { return p.holds(node); });
        });
        ASSERT_NE(plane, planes.end()) << reference.name << ": face " << f << " is not on the boundary";
        planeOfFace.push_back(static_cast<int>(plane - planes.begin()));
        const Point normal = msh_geometry::polygonNormal(polygon);
        EXPECT_GT(msh_geometry::dot(normal, plane->normal), 1e-9) << reference.name << ": face " << f << " faces inwards";
        EXPECT_TRUE(msh_geometry::turnsOneWay(polygon, normal)) << reference.name << ": face " << f << " crosses itself";
    }
    const int bounding = kind().boundaryFaceCount;
    for (int f = 0; f < bounding; ++f) {
        // A bounding face holds every corner on its plane: it is the whole side, not a piece.
        const int cornersOnPlane = static_cast<int>(std::count_if(corners.begin(), corners.end(), [&](const Point& c) { return planes[planeOfFace[f]].holds(c); }));
        EXPECT_EQ(static_cast<int>(faceNodes(kind().faces[f]).size()), cornersOnPlane) << reference.name << ": face " << f;
    }
    EXPECT_EQ(std::set<int>(planeOfFace.begin(), planeOfFace.begin() + bounding).size(), planes.size()) << reference.name;
    for (std::size_t f = bounding; f < planeOfFace.size(); ++f)
        EXPECT_EQ(planeOfFace[f], planeOfFace[f - bounding]) << reference.name << ": the mid-side face " << f;
}

TEST_P(GmshLineTypeTest, KeepsItsEnds) {
    EXPECT_EQ(std::set<double>({reference.nodes[hostNodes[0]][0], reference.nodes[hostNodes[1]][0]}), std::set<double>({-1.0, 1.0}));
}

std::string rowName(const ::testing::TestParamInfo<GmshElementType>& info) {
    return "GmshType" + std::to_string(info.param.gmshType);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, GmshElementTypeTest, ::testing::ValuesIn(host::io::kGmshElementTypes), rowName);
INSTANTIATE_TEST_SUITE_P(Lines, GmshLineTypeTest, ::testing::ValuesIn(rowsOfDimension(1)), rowName);
INSTANTIATE_TEST_SUITE_P(Shells, GmshShellTypeTest, ::testing::ValuesIn(rowsOfDimension(2)), rowName);
INSTANTIATE_TEST_SUITE_P(Solids, GmshSolidTypeTest, ::testing::ValuesIn(rowsOfDimension(3)), rowName);

}  // namespace
