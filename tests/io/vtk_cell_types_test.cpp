// Every row of the VTK cell table, proven on VTK's own reference cell.
#include "io/vtk_cell_types.h"
#include "io/vtk_model.h"
#include "element_shape.h"

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
        return element_shape::Point{p[0], p[1], p[2]};
    };
    // The host element's corners: a solid's first nodes, every other node of a quadratic shell.
    std::vector<element_shape::Point> corners;
    const bool line = row.hostType == host::io::kLineElement;
    const int cornerCount = line ? 2 : host::kMeshTypes[row.hostType].cornerNodes;
    const int step = line || host::isSolid(row.hostType) ? 1 : host::kMeshTypes[row.hostType].nodesPerElement / cornerCount;
    for (int k = 0; k < cornerCount; ++k)
        if (std::find(corners.begin(), corners.end(), at(step * k)) == corners.end()) corners.push_back(at(step * k));
    element_shape::expectHostShape(std::string(row.name), row.hostType, at, corners);
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
