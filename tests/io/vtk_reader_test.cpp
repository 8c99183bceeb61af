// Result files through VTK's readers: real files of other projects with what VTK reports of them,
// and files VTK's own writers make here, for exact expectations.
#include "io/field_roles.h"
#include "io/model_reader.h"
#include "io/vtk_cell_types.h"
#include "mesh_types.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <vtkCellData.h>
#include <vtkDoubleArray.h>
#include <vtkGenericCell.h>
#include <vtkIntArray.h>
#include <vtkPointData.h>
#include <vtkUnstructuredGrid.h>
#include <vtkXMLUnstructuredGridWriter.h>

#include <fstream>
#include <numeric>

namespace {

const std::filesystem::path kData = SCENEPORT_TEST_DATA;

std::string joined(const std::vector<std::string>& names) {
    return std::accumulate(names.begin(), names.end(), std::string(),
                           [](const std::string& all, const std::string& name) { return all.empty() ? name : all + ", " + name; });
}

// Each part as "name: count type-name, ...", parts joined by "; ".
std::string partsText(const ModelStr& model) {
    std::vector<std::string> parts;
    for (const auto& part : model.parts) {
        std::vector<std::string> counts;
        for (const host::MeshTypeInfo& type : host::kMeshTypes)
            if (const int count = part->elementCount(type.type)) counts.push_back(std::to_string(count) + " " + type.name);
        if (part->lineElementCount()) counts.push_back(std::to_string(part->lineElementCount()) + " lines");
        parts.push_back(part->name + ": " + joined(counts));
    }
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
    return text;
}

std::string fieldNames(const ModelStr& model) {
    std::vector<std::string> names;
    for (const host::Field& field : model.fields) names.push_back(field.name);
    return joined(names);
}

class VtkReader : public testing_support::HostTest {
protected:
    testing_support::TempDir dir;
};

// Frame counts, parts, element counts and arrays as VTK's readers report them (PROVENANCE.md).
TEST_F(VtkReader, RealFiles) {
    const struct {
        const char* file;
        std::size_t frames;
        const char* parts;
        const char* fields;
        const char* deformedBy;
        const char* failuresFrom;
        std::vector<std::string> notes;
    } cases[] = {
        {"block_crush_1.ex2", 11, "block_1: 3 8-node hexahedron; block_2: 128 8-node hexahedron",
         "carea, cdirnor_, cdirtan_, celement, cetan, cftan, vel_, stress_xx, stress_yy, stress_zz, stress_xy, stress_yz, "
         "stress_zx, vonmises, processor_id", "displ_", "",
         {"left out cells the host has no type for: 1 \"vertex\"",
          "left out the block \"RigidBodyOutputPart\": none of its cells is a surface, solid or line"}},
        {"can.vtu", 1, "can: 4800 8-node hexahedron", "VEL, ACCL, EQPS", "DISPL", "", {}},
        {"blow.vtk", 1, "blow: 928 3-node triangle, 129 4-node quadrilateral",
         "displacement0, displacement1, displacement2, displacement3, displacement4, displacement5, displacement6, "
         "displacement7, displacement8, displacement9, thickness0, thickness1, thickness2, thickness3, thickness4, "
         "thickness5, thickness6, thickness7, thickness8, thickness9", "", "", {}},
        {"plate.vtk", 1, "plate: 312 4-node quadrilateral", "mode1, mode2, mode3, mode4, mode8", "", "", {}},
        {"ensight/blow2_ascii.case", 2, "Part_1: 928 3-node triangle, 129 4-node quadrilateral",
         "thickness, displacement, thickness (2)", "displacement", "",
         {"renamed 1 part (\"Part 1\") to fit scenes as node names (sceneport info lists each with its name in the file)"}},
        {"d3plot/d3plot", 23, "Profil_Shells: 2075 4-node quadrilateral",
         "Temperature, Velocity, InternalEnergy", "the coordinates of each state",
         "the elements each state deletes", {}},
    };
    for (const auto& c : cases) {
        host::io::ReadNotes notes;
        const ModelStr& model = host::io::readModel(kData / c.file, notes);
        EXPECT_EQ(model.times.size(), c.frames) << c.file;
        EXPECT_EQ(partsText(model), c.parts) << c.file;
        EXPECT_EQ(fieldNames(model), c.fields) << c.file;
        EXPECT_EQ(notes.deformedBy, c.deformedBy) << c.file;
        EXPECT_EQ(notes.failuresFrom, c.failuresFrom) << c.file;
        // VTK 9.1's LS-DYNA reader hands this d3plot's shell internal energy over without filling
        // it: its values change from read to read, and now and then one is not finite.
        std::erase_if(notes.lines, [](const std::string& note) { return note.starts_with("field \"InternalEnergy\": "); });
        EXPECT_EQ(notes.lines, c.notes) << c.file;
    }
}

// One cell of every type VTK's table lists, each on points of its own, written by VTK's writer.
TEST_F(VtkReader, EveryCellType) {
    const auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    const auto points = vtkSmartPointer<vtkPoints>::New();
    grid->SetPoints(points);
    const auto cell = vtkSmartPointer<vtkGenericCell>::New();
    const auto addCell = [&](int vtkType, const double* xyz, int count) {
        std::vector<vtkIdType> ids;
        for (int k = 0; k < count; ++k) ids.push_back(points->InsertNextPoint(xyz[3 * k] + 4.0 * grid->GetNumberOfCells(), xyz[3 * k + 1], xyz[3 * k + 2]));
        grid->InsertNextCell(vtkType, count, ids.data());
    };
    // Cells of any size take the corners of a fixed type with as many corners.
    const std::map<int, int> likeFixed{{VTK_LAGRANGE_CURVE, VTK_LINE}, {VTK_BEZIER_CURVE, VTK_LINE},
        {VTK_LAGRANGE_TRIANGLE, VTK_TRIANGLE}, {VTK_BEZIER_TRIANGLE, VTK_TRIANGLE}, {VTK_LAGRANGE_QUADRILATERAL, VTK_QUAD},
        {VTK_BEZIER_QUADRILATERAL, VTK_QUAD}, {VTK_LAGRANGE_TETRAHEDRON, VTK_TETRA}, {VTK_LAGRANGE_WEDGE, VTK_WEDGE},
        {VTK_POLY_LINE, VTK_TRIANGLE}, {VTK_TRIANGLE_STRIP, VTK_QUAD}, {VTK_POLYGON, VTK_HEXAHEDRON}, {VTK_POLY_VERTEX, VTK_LINE}};
    for (const host::io::VtkCellType& row : host::io::kVtkCellTypes) {
        if (row.vtkType == VTK_POLYHEDRON) continue;
        cell->SetCellType(likeFixed.contains(row.vtkType) ? likeFixed.at(row.vtkType) : row.vtkType);
        addCell(row.vtkType, cell->GetParametricCoords(), static_cast<int>(cell->GetNumberOfPoints()));
    }
    const auto writer = vtkSmartPointer<vtkXMLUnstructuredGridWriter>::New();
    writer->SetInputData(grid);
    writer->SetFileName((dir / "cells.vtu").c_str());
    ASSERT_EQ(writer->Write(), 1);

    host::io::ReadNotes notes;
    const ModelStr& model = host::io::readModel(dir / "cells.vtu", notes);
    // A strip of 4 points makes 2 triangles, a polygon of 8 makes 6, a polyline of 3 points 2 lines.
    EXPECT_EQ(partsText(model),
              "cells_(1D): 7 lines; "
              "cells_(2D): 11 3-node triangle, 2 6-node triangle, 5 4-node quadrilateral, 2 8-node quadrilateral; "
              "cells_(3D): 2 4-node tetrahedron, 1 10-node tetrahedron, 5 6-node pentahedron, 2 15-node pentahedron, "
              "2 8-node hexahedron, 2 20-node hexahedron");
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
        "left out cells the host has no type for: 1 \"poly-vertex\", 1 \"vertex\"",
        "reduced cells to the nearest host type, by their corner and mid-side nodes: 1 \"Bezier curve\", "
        "1 \"Bezier quadrilateral\", 1 \"Bezier triangle\", 1 \"Lagrange curve\", 1 \"Lagrange quadrilateral\", "
        "1 \"Lagrange tetrahedron\", 1 \"Lagrange triangle\", 1 \"Lagrange wedge\", 1 \"biquadratic quadrilateral\", "
        "1 \"biquadratic triangle\", 1 \"biquadratic-quadratic wedge\", 1 \"cubic line\", 1 \"quadratic edge\", "
        "1 \"quadratic pyramid\", 1 \"quadratic-linear quadrilateral\", 1 \"quadratic-linear wedge\", "
        "1 \"triquadratic hexahedron\"",
        "split 1 polygon into triangles fanned from their first corner",
        "renamed 3 parts (\"cells (1D)\", ...) to fit scenes as node names (sceneport info lists each with its name in the file)"}));
}

// A .pvd series of three steps: parts from a part-id array, split where shells and solids meet;
// DISPL moves the nodes by 0.5 per step along x; "failed" fails cell 0 at the second step.
TEST_F(VtkReader, SeriesWithDisplacementAndFailures) {
    const double corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    std::ofstream index(dir / "series.pvd");
    index << "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"0.1\">\n<Collection>\n";
    for (int step = 0; step < 3; ++step) {
        const auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
        const auto points = vtkSmartPointer<vtkPoints>::New();
        for (const auto& corner : corners) points->InsertNextPoint(corner);
        grid->SetPoints(points);
        const vtkIdType hexahedron[] = {0, 1, 2, 3, 4, 5, 6, 7}, quadrilateral[] = {4, 5, 6, 7};
        grid->InsertNextCell(VTK_HEXAHEDRON, 8, hexahedron);
        grid->InsertNextCell(VTK_QUAD, 4, quadrilateral);
        grid->InsertNextCell(VTK_HEXAHEDRON, 8, hexahedron);
        const auto part = vtkSmartPointer<vtkIntArray>::New(), failed = vtkSmartPointer<vtkIntArray>::New();
        part->SetName("PartId");
        failed->SetName("failed");
        for (const int id : {7, 9, 9}) part->InsertNextValue(id);
        for (const int flag : {step == 1 ? 1 : 0, 0, 0}) failed->InsertNextValue(flag);
        const auto displacement = vtkSmartPointer<vtkDoubleArray>::New();
        displacement->SetName("DISPL");
        displacement->SetNumberOfComponents(3);
        for (int node = 0; node < 8; ++node) displacement->InsertNextTuple3(0.5 * step, 0, 0);
        grid->GetCellData()->AddArray(part);
        grid->GetCellData()->AddArray(failed);
        grid->GetPointData()->AddArray(displacement);
        const auto writer = vtkSmartPointer<vtkXMLUnstructuredGridWriter>::New();
        writer->SetInputData(grid);
        const std::string file = "step" + std::to_string(step) + ".vtu";
        writer->SetFileName((dir / file).c_str());
        ASSERT_EQ(writer->Write(), 1);
        index << "<DataSet timestep=\"" << step * 0.25 << "\" part=\"0\" file=\"" << file << "\"/>\n";
    }
    index << "</Collection>\n</VTKFile>\n";
    index.close();

    const struct {
        const char* displacementOption;
        const char* fields;
        float movedX;  // node 1's x at the last frame
    } cases[] = {{"", "", 2.0f}, {"none", "DISPL", 1.0f}};
    for (const auto& c : cases) {
        host::io::ReadOptions options;
        options.displacementField = c.displacementOption;
        host::io::ReadNotes notes;
        const ModelStr& model = host::io::readModel(dir / "series.pvd", notes, options);
        EXPECT_EQ(model.times, (std::vector<float>{0.0f, 0.25f, 0.5f}));
        EXPECT_EQ(partsText(model), "PartId_7: 1 8-node hexahedron; PartId_9_(2D): 1 4-node quadrilateral; "
                                    "PartId_9_(3D): 1 8-node hexahedron");
        EXPECT_EQ(fieldNames(model), c.fields);
        EXPECT_EQ(notes.failuresFrom, "failed");
        const host::Part& first = *model.parts[0];
        EXPECT_FALSE(first.hasFailed({FE_MESH_HEXA8, 0}, 0));
        EXPECT_TRUE(first.hasFailed({FE_MESH_HEXA8, 0}, 1));
        EXPECT_TRUE(first.hasFailed({FE_MESH_HEXA8, 0}, 2)) << "failed for good";
        EXPECT_FALSE(model.parts[2]->hasFailed({FE_MESH_HEXA8, 0}, 2));
        EXPECT_NE(joined(notes.lines).find("\"failed\" returns to 0 in 1 element after failing it"), std::string::npos)
            << joined(notes.lines);
        const float lastX = model.frameCoords.empty() ? model.referenceCoords[3 * 1] : model.frameCoords.back()[3 * 1];
        EXPECT_EQ(lastX, c.movedX);
    }
}

}  // namespace
