// Every row of the VTK cell table, proven on VTK's own reference cell: through the row's node
// order, the host element must keep every corner, face outwards and halve its edges with its
// mid-side nodes.
#include "io/vtk_cell_types.h"
#include "io/vtk_model.h"

#include <gtest/gtest.h>

#include <vtkCellTypes.h>
#include <vtkGenericCell.h>
#include <vtkUnsignedCharArray.h>

#include <algorithm>

namespace host::io {
void PrintTo(const VtkCellType& row, std::ostream* out) { *out << row.name; }
}  // namespace host::io

namespace {

using host::io::VtkCellType;
using Point = std::array<double, 3>;

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

class VtkCellRow : public ::testing::TestWithParam<VtkCellType> {};

TEST_P(VtkCellRow, KeepsTheCellsShape) {
    const VtkCellType& row = GetParam();
    const auto cell = vtkSmartPointer<vtkGenericCell>::New();
    cell->SetCellType(row.vtkType);
    const double* parametric = cell->GetParametricCoords();
    ASSERT_NE(parametric, nullptr) << row.name;
    ASSERT_EQ(cell->GetNumberOfPoints(), row.vtkNodes) << row.name;
    const auto at = [&](int hostPosition) {
        const double* p = parametric + 3 * row.vtkPosition[hostPosition];
        return Point{p[0], p[1], p[2]};
    };
    const int hostNodes = host::io::hostNodesOf(row);
    const int corners = row.hostType == host::io::kLineElement ? 2 : host::kMeshTypes[row.hostType].cornerNodes;
    std::vector<Point> hostCorners;
    for (int k = 0; k < corners; ++k) hostCorners.push_back(at(k));
    if (row.hostType == host::io::kLineElement || !host::isSolid(row.hostType)) {
        // Shells go round corner, mid-side node, corner, facing +z as VTK orients them.
        std::vector<Point> polygon;
        for (int k = 0; k < hostNodes; ++k) polygon.push_back(at(k));
        if (row.hostType != host::io::kLineElement) {
            EXPECT_GT(normalOf(polygon)[2], 0.0) << row.name;
        }
        for (int k = 1; corners < hostNodes && k < hostNodes; k += 2)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(polygon[k][axis], (polygon[k - 1][axis] + polygon[(k + 1) % hostNodes][axis]) / 2, 1e-12) << row.name;
        return;
    }
    const mesh_faces::ElementFaces& kind = mesh_faces::kElementFaces[row.hostType];
    for (int f = 0; f < kind.boundaryFaceCount; ++f) {
        std::vector<Point> polygon;
        for (int k = 0; k < kind.faces[f].nodeCount; ++k)
            if (const Point p = at(kind.faces[f].positions[k]); polygon.empty() || (p != polygon.back() && p != polygon.front()))
                polygon.push_back(p);
        ASSERT_GE(polygon.size(), 3u) << row.name << ": face " << f;
        EXPECT_GT(dot(normalOf(polygon), minus(mean(polygon), mean(hostCorners))), 1e-9) << row.name << ": face " << f << " faces inwards";
    }
    // Each mid-side node halves the edge between the corners of its boundary face.
    for (int f = kind.boundaryFaceCount; f < static_cast<int>(kind.faces.size()); ++f) {
        const mesh_faces::Face& side = kind.faces[f - kind.boundaryFaceCount];
        for (int k = 0; k < side.nodeCount; ++k) {
            const Point a = at(side.positions[k]), b = at(side.positions[(k + 1) % side.nodeCount]);
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(at(kind.faces[f].positions[k])[axis], (a[axis] + b[axis]) / 2, 1e-12) << row.name << ": face " << f;
        }
    }
}

std::vector<VtkCellType> fixedRows() {
    std::vector<VtkCellType> rows;
    std::copy_if(host::io::kVtkCellTypes.begin(), host::io::kVtkCellTypes.end(), std::back_inserter(rows),
                 [](const VtkCellType& row) { return row.fate == host::io::CellFate::Element && row.vtkNodes > 0; });
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Vtk, VtkCellRow, ::testing::ValuesIn(fixedRows()),
                         [](const auto& info) { return "Type" + std::to_string(info.param.vtkType); });

// d3plot's deletions come as hidden ghost cells; other ghost kinds are no deletion.
TEST(VtkDeletions, HiddenCellsAreDeleted) {
    const auto ghosts = vtkSmartPointer<vtkUnsignedCharArray>::New();
    for (const unsigned char flags : {0, 0x20, 0x21, 0x01, 0x04}) ghosts->InsertNextValue(flags);
    EXPECT_EQ(host::io::deletedCells(ghosts), (std::vector<bool>{false, true, true, false, false}));
    EXPECT_TRUE(host::io::deletedCells(nullptr).empty());
}

}  // namespace
