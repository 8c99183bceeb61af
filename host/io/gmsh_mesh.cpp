#include "gmsh_mesh.h"

#include "gmsh_part_names.h"

#include <gmsh.h>

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <unordered_set>
#include <utility>

namespace host::io {
namespace {

// A physical group or an elementary entity, before its elements are read.
struct GroupSource {
    std::string name;
    int dimension;
    std::vector<int> entities;
};

constexpr std::array<const char*, 4> kEntityKinds{"Point", "Curve", "Surface", "Volume"};

// The corner nodes of a face (model node numbers), sorted.
using FaceKey = std::array<int, 4>;

struct FaceKeyHash {
    std::size_t operator()(const FaceKey& key) const {
        std::size_t hash = 0;
        for (const int node : key) hash = hash * 1000003u ^ static_cast<std::size_t>(node);
        return hash;
    }
};

template <typename Visit>
void forEachFace(const MeshPart& part, std::span<const mesh_faces::Face> (*facesOf)(int type), Visit visit) {
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
        const std::vector<int>& nodes = part.elements[type].nodes;
        const int perElement = kNodesPerElement[type];
        for (std::size_t first = 0; first + perElement <= nodes.size(); first += perElement)
            for (const mesh_faces::Face& face : facesOf(type)) {
                // Padded with -1 for a triangle, which sorts first: the same corners make one key.
                FaceKey key{-1, -1, -1, -1};
                for (int k = 0; k < std::min(face.nodeCount, 4); ++k) key[k] = part.nodes[nodes[first + face.positions[k]]];
                std::sort(key.begin(), key.end());
                visit(key);
            }
    }
}

std::span<const mesh_faces::Face> solidFaces(int type) { return host::kSolidFaces[type]; }
// A shell element's own polygon by its corners (the first ones of its node list).
std::span<const mesh_faces::Face> shellFace(int type) {
    static constexpr std::array<mesh_faces::Face, 1> kTriangle{{{3, {0, 1, 2}}}}, kQuadrilateral{{{4, {0, 1, 2, 3}}}};
    if (host::isSolid(type)) return {};
    return host::kMeshTypes[type].cornerNodes == 3 ? std::span<const mesh_faces::Face>(kTriangle) : kQuadrilateral;
}

// Without physical groups every entity becomes a part, and the surfaces Gmsh keeps on the boundary
// of a meshed volume would draw the volume's faces a second time. Marks the surface parts all of
// whose elements are faces of the solid parts' elements; free surfaces and shells keep theirs.
std::vector<bool> surfacesOfSolids(const std::vector<MeshPart>& parts, const std::vector<GroupName>& names,
                                   std::size_t nodeCount) {
    std::vector<bool> onSurface(nodeCount, false), redundant(parts.size(), false);
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (names[i].dimension == 2)
            for (const int node : parts[i].nodes) onSurface[node] = true;
    // Only solid faces with every corner on some surface can match one: the set stays the size of
    // the surfaces, not of the solids.
    std::unordered_set<FaceKey, FaceKeyHash> solid;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (names[i].dimension == 3)
            forEachFace(parts[i], solidFaces, [&](const FaceKey& key) {
                for (const int node : key)
                    if (node >= 0 && !onSurface[node]) return;
                solid.insert(key);
            });
    if (solid.empty()) return redundant;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (names[i].dimension != 2) continue;
        bool all = true;
        forEachFace(parts[i], shellFace, [&](const FaceKey& key) { all = all && solid.contains(key); });
        redundant[i] = all;
    }
    return redundant;
}

using Entity = std::pair<int, int>;  // dimension, tag

// Partitioning splits each entity into pieces of its dimension, whose parent it is, and adds
// entities on the boundaries between partitions, whose parent is the entity of higher dimension
// they lie in. Gmsh gives those boundaries elements of their own, in the physical groups of the
// entity they lie in: they would draw the walls between partitions inside a solid.
bool isPartitionBoundary(const Entity& entity) {
    std::vector<int> partitions;
    gmsh::model::getPartitions(entity.first, entity.second, partitions);
    int parentDimension = -1, parentTag = -1;
    if (!partitions.empty()) gmsh::model::getParent(entity.first, entity.second, parentDimension, parentTag);
    return parentDimension > entity.first;
}

// The entity a piece of a partition came from; the entity itself when it is no piece.
Entity unpartitioned(const Entity& entity) {
    std::vector<int> partitions;
    gmsh::model::getPartitions(entity.first, entity.second, partitions);
    Entity parent{-1, -1};
    if (!partitions.empty()) gmsh::model::getParent(entity.first, entity.second, parent.first, parent.second);
    return parent.first == entity.first ? parent : entity;
}

// The groups to read, and the partition boundaries they leave out.
struct GroupSources {
    std::vector<GroupSource> groups;
    std::vector<Entity> partitionBoundaries;
};

GroupSources groupSources() {
    GroupSources sources;
    const auto keep = [&sources](const Entity& entity) {
        if (!isPartitionBoundary(entity)) return true;
        sources.partitionBoundaries.push_back(entity);
        return false;
    };
    gmsh::vectorpair groups;
    gmsh::model::getPhysicalGroups(groups);
    for (const auto& [dimension, tag] : groups) {
        GroupSource source{{}, dimension, {}};
        gmsh::model::getPhysicalName(dimension, tag, source.name);
        if (source.name.empty()) source.name = "Physical " + std::to_string(dimension) + " " + std::to_string(tag);
        std::vector<int> entities;
        gmsh::model::getEntitiesForPhysicalGroup(dimension, tag, entities);
        for (const int entity : entities)
            if (keep({dimension, entity})) source.entities.push_back(entity);
        sources.groups.push_back(std::move(source));
    }
    if (!groups.empty()) return sources;
    // One part per entity, the pieces of a partitioned one together under its name.
    gmsh::vectorpair entities;
    gmsh::model::getEntities(entities);
    std::map<Entity, std::size_t> partOf;
    for (const Entity& entity : entities) {
        if (!keep(entity)) continue;
        const Entity owner = unpartitioned(entity);
        const auto [found, added] = partOf.emplace(owner, sources.groups.size());
        if (added)
            sources.groups.push_back({std::string(kEntityKinds.at(owner.first)) + " " + std::to_string(owner.second), owner.first, {}});
        sources.groups[found->second].entities.push_back(entity.second);
    }
    return sources;
}

std::string elementsText(std::size_t count) { return std::to_string(count) + (count == 1 ? " element" : " elements"); }

std::string gmshTypeName(int gmshType) {
    std::string name;
    int dimension = 0, order = 0, nodes = 0, primaryNodes = 0;
    std::vector<double> localCoordinates;
    gmsh::model::mesh::getElementProperties(gmshType, name, dimension, order, nodes, localCoordinates, primaryNodes);
    return name.empty() ? "type " + std::to_string(gmshType) : name;
}

// Reads the elements of one group after another into parts, numbering each part's nodes.
class PartReader {
public:
    explicit PartReader(const GmshMesh& mesh) : m_mesh(mesh), m_localOf(mesh.nodeTags.size(), -1) {}

    // The part of a group's elements; `gmshElements` counts those Gmsh gave, kept or not.
    MeshPart read(const GroupSource& source, std::size_t& gmshElements) {
        MeshPart part;
        gmshElements = 0;
        for (const int entity : source.entities) {
            std::vector<int> types;
            std::vector<std::vector<std::size_t>> elementTags, nodeTags;
            gmsh::model::mesh::getElements(types, elementTags, nodeTags, source.dimension, entity);
            for (std::size_t block = 0; block < types.size(); ++block)
                add(part, types[block], elementTags[block], nodeTags[block]);
            gmshElements += given(source.dimension, entity, elementTags);
        }
        for (const int node : part.nodes) m_localOf[node] = -1;  // ready for the next part
        return part;
    }

    // Takes the entity's elements as given but reads none of them; returns how many it has.
    std::size_t skip(const Entity& entity) {
        std::vector<int> types;
        std::vector<std::vector<std::size_t>> elementTags, nodeTags;
        gmsh::model::mesh::getElements(types, elementTags, nodeTags, entity.first, entity.second);
        return given(entity.first, entity.second, elementTags);
    }

    // Counts the elements of the curves, surfaces and volumes no part took; returns how many.
    std::size_t countUnread() {
        gmsh::vectorpair entities;
        gmsh::model::getEntities(entities);
        std::size_t unread = 0;
        for (const auto& [dimension, tag] : entities) {
            if (dimension == 0 || m_given.contains({dimension, tag})) continue;
            std::vector<int> types;
            std::vector<std::vector<std::size_t>> elementTags, nodeTags;
            gmsh::model::mesh::getElements(types, elementTags, nodeTags, dimension, tag);
            unread += given(dimension, tag, elementTags);
        }
        return unread;
    }

    // Elements Gmsh gave for the entities of `dimension`, each entity counted once.
    std::size_t givenOfDimension(int dimension) const {
        std::size_t count = 0;
        for (const auto& [entity, elements] : m_given)
            if (entity.first == dimension) count += elements;
        return count;
    }

    // Elements left out, and elements drawn as a type of lower order, by Gmsh type.
    const std::map<int, std::size_t>& leftOut() const { return m_leftOut; }
    const std::map<int, std::size_t>& reduced() const { return m_reduced; }

private:
    void add(MeshPart& part, int gmshType, const std::vector<std::size_t>& elementTags,
             const std::vector<std::size_t>& nodeTags) {
        bool reduced = false;
        const GmshElementType* type = findGmshElementType(gmshType, &reduced);
        if (type == nullptr) {
            m_leftOut[gmshType] += elementTags.size();
            return;
        }
        if (reduced) m_reduced[gmshType] += elementTags.size();
        if (nodeTags.size() != elementTags.size() * type->gmshNodes)
            throw ModelReadError("Gmsh gives " + std::to_string(nodeTags.size()) + " nodes for " +
                                 std::to_string(elementTags.size()) + " elements of type " + inQuotes(gmshTypeName(gmshType)));
        ElementList& list = part.elements[type->hostType == kLineElement ? kLineList : type->hostType];
        list.sources.reserve(list.sources.size() + elementTags.size());
        list.nodes.reserve(list.nodes.size() + elementTags.size() * type->hostNodes());
        for (std::size_t element = 0; element < elementTags.size(); ++element) {
            const std::size_t* nodes = nodeTags.data() + element * type->gmshNodes;
            for (int position = 0; position < type->hostNodes(); ++position)
                list.nodes.push_back(localNode(part, nodes[type->gmshPosition[position]], elementTags[element]));
            list.sources.push_back({elementTags[element], type});
        }
    }

    std::size_t given(int dimension, int entity, const std::vector<std::vector<std::size_t>>& elementTags) {
        std::size_t count = 0;
        for (const auto& tags : elementTags) count += tags.size();
        m_given[{dimension, entity}] = count;
        return count;
    }

    int localNode(MeshPart& part, std::size_t nodeTag, std::size_t elementTag) {
        const auto found = m_mesh.nodeIndex.find(nodeTag);
        if (found == m_mesh.nodeIndex.end())
            throw ModelReadError("element " + std::to_string(elementTag) + " refers to node " + std::to_string(nodeTag) +
                                 ", which the file does not define");
        int& local = m_localOf[found->second];
        if (local < 0) {
            local = static_cast<int>(part.nodes.size());
            part.nodes.push_back(found->second);
        }
        return local;
    }

    const GmshMesh& m_mesh;
    std::vector<int> m_localOf;  // per Gmsh node, its number in the part being read (-1: none yet)
    std::map<int, std::size_t> m_leftOut, m_reduced;
    std::map<std::pair<int, int>, std::size_t> m_given;  // per entity (dimension, tag)
};

// Gmsh counts every surface and volume element it holds, whereas its API gives the elements of
// one kind in an entity (its triangles, say) only in the order of the first of them: a file
// that mixes orders in one entity loses the others, and only this count shows it.
std::size_t surfaceAndVolumeElementsInGmsh() {
    double total = 0;
    for (const char* kind : {"Triangles", "Quadrangles", "Tetrahedra", "Hexahedra", "Prisms", "Pyramids", "Trihedra"}) {
        double count = 0;
        gmsh::option::getNumber(std::string("Mesh.Nb") + kind, count);
        total += count;
    }
    return static_cast<std::size_t>(total);
}

bool hasElements(const MeshPart& part) {
    for (const ElementList& list : part.elements)
        if (!list.sources.empty()) return true;
    return false;
}

std::string nameList(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 5;
    std::string list;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) list += (i ? ", " : "") + inQuotes(names[i]);
    if (names.size() > kShown) list += " and " + std::to_string(names.size() - kShown) + " more";
    return list;
}

void readNodes(GmshMesh& mesh) {
    std::vector<double> parametric;
    gmsh::model::mesh::getNodes(mesh.nodeTags, mesh.coordinates, parametric, -1, -1, false, false);
    mesh.nodeIndex.reserve(mesh.nodeTags.size());
    for (std::size_t i = 0; i < mesh.nodeTags.size(); ++i) mesh.nodeIndex.emplace(mesh.nodeTags[i], static_cast<int>(i));
}

}  // namespace

GmshMesh readGmshMesh(ReadNotes& notes, std::span<const std::string_view> reservedNames) {
    GmshMesh mesh;
    readNodes(mesh);

    PartReader reader(mesh);
    std::vector<std::string> points, empty;
    std::vector<GroupName> names;
    const GroupSources sources = groupSources();
    std::size_t betweenPartitions = 0;
    for (const Entity& entity : sources.partitionBoundaries) betweenPartitions += reader.skip(entity);
    for (const GroupSource& source : sources.groups) {
        if (source.dimension == 0) {
            points.push_back(source.name);
            continue;
        }
        std::size_t gmshElements = 0;
        MeshPart part = reader.read(source, gmshElements);
        if (!hasElements(part)) {
            if (gmshElements > 0) empty.push_back(source.name);  // a group without elements goes unnoticed
            continue;
        }
        names.push_back({source.name, source.dimension});
        mesh.parts.push_back(std::move(part));
    }

    for (const auto& [gmshType, count] : reader.leftOut())
        notes.lines.push_back("left out " + elementsText(count) + " of type " + inQuotes(gmshTypeName(gmshType)) +
                              ": the host has no element type for them");
    for (const auto& [gmshType, count] : reader.reduced()) {
        const GmshElementType& row = *findGmshElementType(gmshType);
        const bool line = row.hostType == kLineElement;
        const char* kept = line                                                  ? "their ends"
                           : row.hostNodes() == kMeshTypes[row.hostType].cornerNodes ? "their corner nodes"
                                                                                      : "their corner and mid-edge nodes";
        notes.lines.push_back("read " + elementsText(count) + " of type " + inQuotes(gmshTypeName(gmshType)) + " as " +
                              (line ? "2-node line" : kMeshTypes[row.hostType].name) + " elements, by " + kept +
                              ": the host has no element of their order");
    }
    if (!points.empty())
        notes.lines.push_back("left out " + nameList(points) + ": points make no part");
    if (betweenPartitions > 0)
        notes.lines.push_back("left out " + elementsText(betweenPartitions) + " Gmsh made on the boundaries between partitions");
    if (!empty.empty())
        notes.lines.push_back("left out " + nameList(empty) + ": no element there has a host element type");
    const std::size_t unread = reader.countUnread();
    if (unread > 0) notes.lines.push_back("left out " + elementsText(unread) + " that belong to no physical group");
    const std::size_t given = reader.givenOfDimension(2) + reader.givenOfDimension(3);
    if (const std::size_t held = surfaceAndVolumeElementsInGmsh(); held > given)
        notes.lines.push_back("left out " + elementsText(held - given) +
                              " Gmsh does not give: an entity mixes elements of one kind but of different orders");

    gmsh::vectorpair physicalGroups;
    gmsh::model::getPhysicalGroups(physicalGroups);
    if (physicalGroups.empty()) {
        const std::vector<bool> redundant = surfacesOfSolids(mesh.parts, names, mesh.nodeTags.size());
        std::vector<std::string> dropped;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < mesh.parts.size(); ++i) {
            if (redundant[i]) {
                dropped.push_back(names[i].name);
                continue;
            }
            if (kept != i) {
                mesh.parts[kept] = std::move(mesh.parts[i]);
                names[kept] = std::move(names[i]);
            }
            ++kept;
        }
        mesh.parts.resize(kept);
        names.resize(kept);
        if (!dropped.empty())
            notes.lines.push_back("left out " + nameList(dropped) + ": their faces are those of the volumes they bound");
    }

    const std::vector<PartName> partNames = scenePartNames(names, reservedNames);
    std::vector<std::string> renamed;
    for (std::size_t i = 0; i < mesh.parts.size(); ++i) {
        mesh.parts[i].name = partNames[i].name;
        mesh.parts[i].sourceName = partNames[i].sourceName;
        if (!partNames[i].sourceName.empty()) renamed.push_back(partNames[i].sourceName);
    }
    // One line, however many: a model of hundreds of parts would otherwise fill the screen.
    if (!renamed.empty())
        notes.lines.push_back("renamed " + nameList(renamed) + " to fit scenes as node names (sceneport info lists " +
                              (renamed.size() == 1 ? "it" : "each") + " with its name in the file)");
    return mesh;
}

}  // namespace host::io
