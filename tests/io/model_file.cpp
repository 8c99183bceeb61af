#include "model_file.h"

#include "io/gmsh_session.h"

#include <gmsh.h>

#include <algorithm>

namespace model_file {
namespace {
std::size_t nextNode = 1, nextElement = 1;
}

ReferenceElement referenceElement(int gmshType) {
    ReferenceElement element;
    int order = 0, count = 0;
    std::vector<double> local;
    gmsh::model::mesh::getElementProperties(gmshType, element.name, element.dimension, order, count, local, element.corners);
    for (int node = 0; node < count; ++node) {
        Point& point = element.nodes.emplace_back();
        for (int axis = 0; axis < element.dimension; ++axis) point[axis] = local[node * element.dimension + axis];
    }
    return element;
}

void start() {
    host::io::startGmsh();
    gmsh::clear();
    gmsh::model::add("sample");
    nextNode = nextElement = 1;
}

std::size_t addNodes(int dimension, int entity, const std::vector<double>& xyz) {
    std::vector<std::size_t> tags;
    for (std::size_t i = 0; i < xyz.size() / 3; ++i) tags.push_back(nextNode + i);
    gmsh::model::mesh::addNodes(dimension, entity, tags, xyz);
    nextNode += tags.size();
    return tags.front();
}

int addElements(int dimension, int gmshType, const std::vector<std::size_t>& nodes, int entity) {
    if (entity == 0) entity = gmsh::model::addDiscreteEntity(dimension);
    const std::size_t count = nodes.size() / referenceElement(gmshType).nodes.size();
    std::vector<std::size_t> tags;
    for (std::size_t i = 0; i < count; ++i) tags.push_back(nextElement++);
    gmsh::model::mesh::addElementsByType(entity, gmshType, tags, nodes);
    return entity;
}

int addReferenceElement(int gmshType, double shift, int entity) {
    const ReferenceElement reference = referenceElement(gmshType);
    if (entity == 0) entity = gmsh::model::addDiscreteEntity(reference.dimension);
    std::vector<double> xyz;
    for (const Point& node : reference.nodes) xyz.insert(xyz.end(), {node[0] + shift, node[1], node[2]});
    const std::size_t first = addNodes(reference.dimension, entity, xyz);
    std::vector<std::size_t> nodes;
    for (std::size_t i = 0; i < reference.nodes.size(); ++i) nodes.push_back(first + i);
    return addElements(reference.dimension, gmshType, nodes, entity);
}

void group(int dimension, const std::vector<int>& entities, const std::string& name, int tag) {
    tag = gmsh::model::addPhysicalGroup(dimension, entities, tag);
    if (!name.empty()) gmsh::model::setPhysicalName(dimension, tag, name);
}

void view(const std::string& name, const std::string& kind, const std::vector<double>& times, std::size_t lastTag,
          const std::function<std::vector<double>(std::size_t tag, int step)>& value) {
    const int view = gmsh::view::add(name);
    for (int step = 0; step < static_cast<int>(times.size()); ++step) {
        std::vector<std::size_t> tags;
        std::vector<std::vector<double>> data;
        for (std::size_t tag = 1; tag <= lastTag; ++tag)
            if (std::vector<double> values = value(tag, step); !values.empty()) {
                tags.push_back(tag);
                data.push_back(std::move(values));
            }
        const int components = kind == "ElementNodeData" ? 1 : static_cast<int>(data.front().size());
        gmsh::view::addModelData(view, step, "sample", kind, tags, data, times[step], components);
    }
}

std::filesystem::path write(const std::filesystem::path& file, const Format& format) {
    gmsh::option::setNumber("Mesh.MshFileVersion", format.version);
    gmsh::option::setNumber("Mesh.Binary", format.binary ? 1 : 0);
    gmsh::option::setNumber("PostProcessing.SaveMesh", 0);  // the views go after the mesh, not with it again
    gmsh::write(file.string());
    std::vector<int> views;
    gmsh::view::getTags(views);
    if (file.extension() == ".msh")
        for (const int view : views) gmsh::view::write(view, file.string(), true);
    return file;
}

std::size_t meshedCube(const std::filesystem::path& file, int order, int partitions, const Format& format) {
    start();
    gmsh::model::occ::addBox(0, 0, 0, 1, 1, 1);
    gmsh::model::occ::synchronize();
    gmsh::model::addPhysicalGroup(3, {1}, 1);
    gmsh::option::setNumber("Mesh.MeshSizeMax", 0.5);
    gmsh::model::mesh::generate(3);
    gmsh::model::mesh::setOrder(order);
    if (partitions > 0) gmsh::model::mesh::partition(partitions);
    std::vector<std::size_t> nodes;
    std::vector<double> xyz, parametric;
    gmsh::model::mesh::getNodes(nodes, xyz, parametric);
    view("Position", "NodeData", {0}, *std::max_element(nodes.begin(), nodes.end()), [](std::size_t tag, int) {
        std::vector<double> at, parametric;
        gmsh::model::mesh::getNode(tag, at, parametric);
        return at.empty() ? at : std::vector<double>{at[0] + 10 * at[1] + 100 * at[2]};
    });
    std::vector<std::size_t> elements, elementNodes;
    gmsh::model::mesh::getElementsByType(gmsh::model::mesh::getElementType("Tetrahedron", order), elements, elementNodes);
    write(file, format);
    return elements.size();
}

std::filesystem::path plateAndRod(const std::filesystem::path& file, const Format& format) {
    start();
    const int plate = gmsh::model::addDiscreteEntity(2);
    addNodes(2, plate, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 0, 2, 1, 0, 0, 0, 1});
    addElements(2, 3, {1, 2, 3, 4}, plate);
    group(2, {plate}, "Plate", 1);
    group(2, {addElements(2, 2, {2, 5, 6, 2, 6, 3})}, "Top skin", 7);
    group(1, {addElements(1, 1, {1, 7})}, "Rod", 3);
    view("Temperature", "NodeData", {0, 0.5, 1}, 7, [](std::size_t node, int step) { return std::vector<double>{10.0 * (step + 1) + node - 1}; });
    view("Stress", "ElementData", {0}, 4, [](std::size_t element, int) { return std::vector<double>{element + 0.5}; });
    return write(file, format);
}

}  // namespace model_file
