#include "frames_model_file.h"

#include "box_model.h"
#include "io/gmsh_session.h"

#include <gmsh.h>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

constexpr int kGmshHexahedron = 5;
constexpr int kGmshVolume = 3;

// The box sways and swells as the frames go by; every node moves and every value changes.
std::vector<double> displacement(std::size_t node, int side, int frame, int frames) {
    const double x = static_cast<double>(node % side), y = static_cast<double>(node / side % side),
                 z = static_cast<double>(node / side / side);
    const double t = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0.0;
    return {0.05 * t * z * std::sin(0.1 * y), 0.03 * t * x, 0.02 * t * std::cos(0.05 * (x + y))};
}

double temperature(std::size_t node, int side, int frame) {
    const double x = static_cast<double>(node % side), y = static_cast<double>(node / side % side);
    return 20.0 + 80.0 * std::sin(0.03 * (x + frame)) * std::cos(0.02 * y) + 0.37 * frame;
}

}  // namespace

void writeFramesModelFile(const std::filesystem::path& file, int size, int frames) {
    const host::io::GmshReport report = host::io::runGmsh([&] {
        gmsh::clear();
        gmsh::model::add("box");
        const int volume = gmsh::model::addDiscreteEntity(kGmshVolume);
        const int side = size + 1;
        const std::size_t nodeCount = static_cast<std::size_t>(side) * side * side;
        {
            std::vector<std::size_t> tags(nodeCount);
            std::vector<double> xyz(3 * nodeCount);
            for (std::size_t node = 0; node < nodeCount; ++node) {
                tags[node] = node + 1;
                xyz[3 * node] = static_cast<double>(node % side);
                xyz[3 * node + 1] = static_cast<double>(node / side % side);
                xyz[3 * node + 2] = static_cast<double>(node / side / side);
            }
            gmsh::model::mesh::addNodes(kGmshVolume, volume, tags, xyz);
        }
        {
            const std::vector<int> corners = hexahedronNodes(size);
            std::vector<std::size_t> nodes(corners.begin(), corners.end());
            for (std::size_t& node : nodes) ++node;  // Gmsh's tags start at 1
            gmsh::model::mesh::addElementsByType(volume, kGmshHexahedron, {}, nodes);
        }
        gmsh::model::setPhysicalName(kGmshVolume, gmsh::model::addPhysicalGroup(kGmshVolume, {volume}), "Box");
        const int moves = gmsh::view::add("displacement");
        const int field = gmsh::view::add(kNodeFieldName);
        std::vector<std::size_t> tags(nodeCount);
        for (std::size_t node = 0; node < nodeCount; ++node) tags[node] = node + 1;
        for (int frame = 0; frame < frames; ++frame) {
            std::vector<double> moved, values;
            moved.reserve(3 * nodeCount);
            values.reserve(nodeCount);
            for (std::size_t node = 0; node < nodeCount; ++node) {
                for (const double d : displacement(node, side, frame, frames)) moved.push_back(d);
                values.push_back(temperature(node, side, frame));
            }
            gmsh::view::addHomogeneousModelData(moves, frame, "box", "NodeData", tags, moved, frame * 0.001, 3);
            gmsh::view::addHomogeneousModelData(field, frame, "box", "NodeData", tags, values, frame * 0.001, 1);
        }
        gmsh::option::setNumber("Mesh.MshFileVersion", 4.1);
        gmsh::option::setNumber("Mesh.Binary", 1);
        gmsh::option::setNumber("PostProcessing.SaveMesh", 0);
        gmsh::write(file.string());
        for (const int view : {moves, field}) gmsh::view::write(view, file.string(), true);
        gmsh::clear();
    });
    if (report.failed()) throw std::runtime_error("Gmsh could not write " + file.string() + ": " + report.summary());
}

}  // namespace bench
