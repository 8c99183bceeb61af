#include "msh_files.h"

#include "io/gmsh_session.h"

#include <gmsh.h>

namespace msh_files {

std::string newGmshModel() {
    host::io::startGmsh();
    gmsh::clear();
    gmsh::model::add("sample");
    return "sample";
}

ReferenceElement referenceElement(int gmshType) {
    ReferenceElement element;
    int order = 0, nodeCount = 0;
    std::vector<double> local;
    gmsh::model::mesh::getElementProperties(gmshType, element.name, element.dimension, order, nodeCount, local,
                                            element.corners);
    for (int node = 0; node < nodeCount; ++node) {
        msh_geometry::Point& point = element.nodes.emplace_back();
        for (int axis = 0; axis < element.dimension; ++axis) point[axis] = local[node * element.dimension + axis];
    }
    return element;
}

std::size_t addReferenceElement(int dimension, int entity, int gmshType, std::size_t elementTag,
                                std::size_t firstNode, double shift) {
    const ReferenceElement reference = referenceElement(gmshType);
    std::vector<std::size_t> tags;
    std::vector<double> coordinates;
    for (const msh_geometry::Point& node : reference.nodes) {
        tags.push_back(firstNode + tags.size());
        coordinates.insert(coordinates.end(), {node[0] + shift, node[1], node[2]});
    }
    gmsh::model::mesh::addNodes(dimension, entity, tags, coordinates);
    gmsh::model::mesh::addElementsByType(entity, gmshType, {elementTag}, tags);
    return firstNode + tags.size();
}

void addGroup(int dimension, const std::vector<int>& entities, const std::string& name, int tag) {
    tag = gmsh::model::addPhysicalGroup(dimension, entities, tag);
    if (!name.empty()) gmsh::model::setPhysicalName(dimension, tag, name);
}

void writeGmshFile(const std::filesystem::path& file, const MshFormat& format) {
    gmsh::option::setNumber("Mesh.MshFileVersion", format.version);
    gmsh::option::setNumber("Mesh.Binary", format.binary ? 1 : 0);
    gmsh::option::setNumber("PostProcessing.SaveMesh", 0);  // the views go after the mesh, not with it again
    gmsh::write(file.string());
    if (file.extension() != ".msh") return;
    std::vector<int> views;
    gmsh::view::getTags(views);
    for (const int view : views) gmsh::view::write(view, file.string(), true);
}

}  // namespace msh_files
