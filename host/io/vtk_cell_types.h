// How VTK's cell types become the host's element types: the one table of that knowledge, which
// the reader converts every cell through and the tests prove row by row on VTK's own cells.
#pragma once

#include "gmsh_element_types.h"
#include "hostmodel.h"

#include <array>
#include <string_view>

#include <vtkCellType.h>

namespace host::io {

// What becomes of a cell whose row has no host type of its own.
enum class CellFate {
    Element,     // a host element (or a 2-node line) through `vtkPosition`
    Fan,         // a polygon: triangles fanned out from its first corner
    Strip,       // a triangle strip: its triangles, every second one turned to face the same way
    PolyLine,    // a polyline: its 2-node segments
    LeftOut,     // left out with a note (vertices, polyhedra)
};

struct VtkCellType {
    int vtkType;
    std::string_view name;  // as VTK names it
    int vtkNodes;           // 0: as many as the cell has
    CellFate fate;
    int hostType;           // _FePartMeshType or kLineElement, for Element and Fan/Strip/PolyLine
    // For each node of the host element, in the host's order, the position of the VTK node it
    // takes; nodes no position names are dropped (centres of faces and bodies, higher-order
    // nodes). A pyramid names its apex twice: a pentahedron whose ridge collapsed.
    std::array<int, kMaxHostNodes> vtkPosition;
    bool reduced = false;  // the host element keeps fewer nodes than the cell has: noted
};

// VTK numbers a wedge's corners 0 1 2 on one triangle and 3 4 5 over them; the host's pentahedron lies on a rectangle (0 1 2 3) with its ridge (4 5) over the
// edges 0-1 and 3-2. Quadratic shells go round their perimeter in the host; VTK lists corners
// first, then mid-sides. Pixels and voxels number their corners row by row.
inline constexpr std::array<VtkCellType, 37> kVtkCellTypes{{
    {VTK_VERTEX, "vertex", 1, CellFate::LeftOut, 0, {}},
    {VTK_POLY_VERTEX, "poly-vertex", 0, CellFate::LeftOut, 0, {}},
    {VTK_LINE, "line", 2, CellFate::Element, kLineElement, {0, 1}},
    {VTK_QUADRATIC_EDGE, "quadratic edge", 3, CellFate::Element, kLineElement, {0, 1}, true},
    {VTK_CUBIC_LINE, "cubic line", 4, CellFate::Element, kLineElement, {0, 1}, true},
    {VTK_LAGRANGE_CURVE, "Lagrange curve", 0, CellFate::Element, kLineElement, {0, 1}, true},
    {VTK_BEZIER_CURVE, "Bezier curve", 0, CellFate::Element, kLineElement, {0, 1}, true},
    {VTK_POLY_LINE, "polyline", 0, CellFate::PolyLine, kLineElement, {}},
    {VTK_TRIANGLE, "triangle", 3, CellFate::Element, FE_MESH_TRIA3, {0, 1, 2}},
    {VTK_QUADRATIC_TRIANGLE, "quadratic triangle", 6, CellFate::Element, FE_MESH_TRIA6, {0, 3, 1, 4, 2, 5}},
    {VTK_BIQUADRATIC_TRIANGLE, "biquadratic triangle", 7, CellFate::Element, FE_MESH_TRIA6, {0, 3, 1, 4, 2, 5}, true},
    {VTK_LAGRANGE_TRIANGLE, "Lagrange triangle", 0, CellFate::Element, FE_MESH_TRIA3, {0, 1, 2}, true},
    {VTK_BEZIER_TRIANGLE, "Bezier triangle", 0, CellFate::Element, FE_MESH_TRIA3, {0, 1, 2}, true},
    {VTK_TRIANGLE_STRIP, "triangle strip", 0, CellFate::Strip, FE_MESH_TRIA3, {}},
    {VTK_POLYGON, "polygon", 0, CellFate::Fan, FE_MESH_TRIA3, {}},
    {VTK_PIXEL, "pixel", 4, CellFate::Element, FE_MESH_QUAD4, {0, 1, 3, 2}},
    {VTK_QUAD, "quadrilateral", 4, CellFate::Element, FE_MESH_QUAD4, {0, 1, 2, 3}},
    {VTK_QUADRATIC_QUAD, "quadratic quadrilateral", 8, CellFate::Element, FE_MESH_QUAD8, {0, 4, 1, 5, 2, 6, 3, 7}},
    {VTK_BIQUADRATIC_QUAD, "biquadratic quadrilateral", 9, CellFate::Element, FE_MESH_QUAD8, {0, 4, 1, 5, 2, 6, 3, 7}, true},
    {VTK_QUADRATIC_LINEAR_QUAD, "quadratic-linear quadrilateral", 6, CellFate::Element, FE_MESH_QUAD4, {0, 1, 2, 3}, true},
    {VTK_LAGRANGE_QUADRILATERAL, "Lagrange quadrilateral", 0, CellFate::Element, FE_MESH_QUAD4, {0, 1, 2, 3}, true},
    {VTK_BEZIER_QUADRILATERAL, "Bezier quadrilateral", 0, CellFate::Element, FE_MESH_QUAD4, {0, 1, 2, 3}, true},
    {VTK_TETRA, "tetrahedron", 4, CellFate::Element, FE_MESH_TETRA4, {0, 1, 2, 3}},
    {VTK_QUADRATIC_TETRA, "quadratic tetrahedron", 10, CellFate::Element, FE_MESH_TETRA10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    {VTK_LAGRANGE_TETRAHEDRON, "Lagrange tetrahedron", 0, CellFate::Element, FE_MESH_TETRA4, {0, 1, 2, 3}, true},
    {VTK_WEDGE, "wedge", 6, CellFate::Element, FE_MESH_PENTA6, {1, 0, 3, 4, 2, 5}},
    {VTK_QUADRATIC_WEDGE, "quadratic wedge", 15, CellFate::Element, FE_MESH_PENTA15,
     {1, 0, 3, 4, 2, 5, 6, 12, 9, 13, 7, 8, 11, 10, 14}},
    {VTK_BIQUADRATIC_QUADRATIC_WEDGE, "biquadratic-quadratic wedge", 18, CellFate::Element, FE_MESH_PENTA15,
     {1, 0, 3, 4, 2, 5, 6, 12, 9, 13, 7, 8, 11, 10, 14}, true},
    {VTK_QUADRATIC_LINEAR_WEDGE, "quadratic-linear wedge", 12, CellFate::Element, FE_MESH_PENTA6, {1, 0, 3, 4, 2, 5}, true},
    {VTK_LAGRANGE_WEDGE, "Lagrange wedge", 0, CellFate::Element, FE_MESH_PENTA6, {1, 0, 3, 4, 2, 5}, true},
    {VTK_PYRAMID, "pyramid", 5, CellFate::Element, FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4}},
    {VTK_QUADRATIC_PYRAMID, "quadratic pyramid", 13, CellFate::Element, FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4}, true},
    {VTK_VOXEL, "voxel", 8, CellFate::Element, FE_MESH_HEXA8, {0, 1, 3, 2, 4, 5, 7, 6}},
    {VTK_HEXAHEDRON, "hexahedron", 8, CellFate::Element, FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}},
    {VTK_QUADRATIC_HEXAHEDRON, "quadratic hexahedron", 20, CellFate::Element, FE_MESH_HEXA20,
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 12, 13, 14, 15}},
    {VTK_TRIQUADRATIC_HEXAHEDRON, "triquadratic hexahedron", 27, CellFate::Element, FE_MESH_HEXA20,
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 12, 13, 14, 15}, true},
    {VTK_POLYHEDRON, "polyhedron", 0, CellFate::LeftOut, 0, {}},
}};

// The row for a VTK cell type; null for one the table does not know (left out with a note).
constexpr const VtkCellType* findVtkCellType(int vtkType) {
    for (const VtkCellType& row : kVtkCellTypes)
        if (row.vtkType == vtkType) return &row;
    return nullptr;
}

constexpr int hostNodesOf(const VtkCellType& row) {
    return row.hostType == kLineElement ? 2 : kMeshTypes[row.hostType].nodesPerElement;
}

static_assert([] {
    for (const VtkCellType& row : kVtkCellTypes) {
        if (row.fate != CellFate::Element) continue;
        for (int p = 0; p < kMaxHostNodes; ++p) {
            const int position = row.vtkPosition[p];
            const bool inCell = position >= 0 && (row.vtkNodes == 0 || position < row.vtkNodes);
            if (p < hostNodesOf(row) ? !inCell : position != 0) return false;
        }
    }
    return true;
}(), "every host node takes an existing VTK node, and positions past the host's count are unused");

}  // namespace host::io
