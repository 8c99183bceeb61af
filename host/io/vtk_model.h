// VTK's datasets as the host's model, for every VTK reader family: blocks become parts (split by
// dimension, so that a part never mixes solids, shells and lines), cells become host elements
// through vtk_cell_types.h, the steps of a series become frames, point and cell arrays fields.
#pragma once

#include "gmsh_mesh.h"
#include "gmsh_views.h"
#include "model_reader.h"
#include "vtk_series.h"

#include <vtkDataSet.h>
#include <vtkUnsignedCharArray.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <string>
#include <vector>

namespace host::io {

// A leaf dataset of what a reader gives, with its name: the composite's name for it, else
// `fallbackName` (numbered when there are several).
struct VtkBlock {
    std::string name;
    vtkDataSet* data;
};
std::vector<VtkBlock> leafBlocks(vtkDataObject* object, const std::string& fallbackName);

// Where a host node or element comes from: a block and a point or cell in it.
struct VtkSource {
    std::uint32_t block;
    vtkIdType index;
};

// The host's mesh of a series' first step (in the readers' shared form, gmsh_mesh.h), and where
// each of its nodes and elements comes from.
struct VtkMesh {
    GmshMesh mesh;
    std::vector<VtkSource> nodeSources;     // per mesh node
    std::vector<VtkSource> elementSources;  // per host element, in the host's order
    std::vector<std::array<vtkIdType, 2>> blockSizes;  // per block, its points and cells, to check later steps
};

// "1 cell", "2 cells": a count for notes.
inline std::string countText(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// Cell-data arrays that number the parts of a single grid, in the order they are looked for.
inline constexpr std::array<std::string_view, 8> kPartIdArrays{
    "PartId", "part_id", "BlockId", "block_id", "MaterialId", "material", "CellEntityIds", "gmsh:physical"};

VtkMesh convertMesh(const std::vector<VtkBlock>& blocks, ReadNotes& notes, std::span<const std::string_view> reservedNames);

// The frames of every step of `series` laid onto `mesh`: times, fields, coordinates and failures.
GmshResults convertResults(VtkSeries& series, const std::vector<VtkBlock>& firstStep, const VtkMesh& mesh,
                           const ReadOptions& options, ReadNotes& notes);

// Whether each cell is deleted, from the ghost array a reader marks deleted cells in (hidden cells).
std::vector<bool> deletedCells(vtkUnsignedCharArray* ghosts);

}  // namespace host::io
