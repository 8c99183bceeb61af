// The outer skin of generated solid meshes against a plain reference: a sorted map from each
// face's corner set to the number of solids that have it. The meshes mix solid types that share
// faces, collapse solids, share faces among three solids and shuffle element order, so that the
// host's own search has to agree face for face, corner for corner and owner for owner.
#include "mesh_types.h"
#include "scene_builder.h"
#include "test_support.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::HostTest;
using SkinSearch = HostTest;

// ---------------------------------------------------------------------------------------------
// Generated meshes, in part-local node numbers

struct Mesh {
    int nodeCount = 0;
    std::array<std::vector<int>, FE_MESH_TYPE_COUNT> connectivity;

    void add(_FePartMeshType type, std::initializer_list<int> nodes) {
        connectivity[type].insert(connectivity[type].end(), nodes.begin(), nodes.end());
    }
    // Mid-side nodes of their own, which the skin must never take for corners.
    void addQuadratic(_FePartMeshType type, std::initializer_list<int> corners) {
        add(type, corners);
        const int midSide = host::kMeshTypes[type].nodesPerElement - static_cast<int>(corners.size());
        for (int i = 0; i < midSide; ++i) connectivity[type].push_back(nodeCount++);
    }
    int elementCount(int type) const {
        return static_cast<int>(connectivity[type].size()) / host::kMeshTypes[type].nodesPerElement;
    }
    int* element(int type, int index) { return &connectivity[type][index * host::kMeshTypes[type].nodesPerElement]; }
};

// How a unit cell of the grid is filled.
enum class Cell { Hexahedron, QuadraticHexahedron, TwoPentahedra, QuadraticPentahedra, SixTetrahedra, Empty };

// A grid of nx × ny × nz unit cells on (nx+1)(ny+1)(nz+1) nodes. Cells split into solids along the
// diagonal from their lowest to their highest corner on every face, so neighbours of different
// kinds share faces: a hexahedron's side with a pentahedron's, a pentahedron's end triangle with
// the tetrahedra above or below it.
class Grid {
public:
    Grid(int nx, int ny, int nz) : m_nx(nx), m_ny(ny) { m_mesh.nodeCount = (nx + 1) * (ny + 1) * (nz + 1); }

    void fill(int i, int j, int k, Cell cell) {
        auto c = [&](int di, int dj, int dk) { return node(i + di, j + dj, k + dk); };
        switch (cell) {
            case Cell::Hexahedron:
                m_mesh.add(FE_MESH_HEXA8, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 0, 1),
                                           c(1, 1, 1), c(0, 1, 1)});
                break;
            case Cell::QuadraticHexahedron:
                m_mesh.addQuadratic(FE_MESH_HEXA20, {c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1),
                                                     c(1, 0, 1), c(1, 1, 1), c(0, 1, 1)});
                break;
            case Cell::TwoPentahedra:
            case Cell::QuadraticPentahedra: {
                // Ends (0, 1, 4) at the bottom and (3, 2, 5) at the top; the cut runs through the
                // vertical edges at (0, 0) and (1, 1).
                const bool quadratic = cell == Cell::QuadraticPentahedra;
                const auto wedge = [&](std::initializer_list<int> corners) {
                    if (quadratic)
                        m_mesh.addQuadratic(FE_MESH_PENTA15, corners);
                    else
                        m_mesh.add(FE_MESH_PENTA6, corners);
                };
                wedge({c(0, 0, 0), c(1, 0, 0), c(1, 0, 1), c(0, 0, 1), c(1, 1, 0), c(1, 1, 1)});
                wedge({c(0, 0, 0), c(0, 1, 0), c(0, 1, 1), c(0, 0, 1), c(1, 1, 0), c(1, 1, 1)});
                break;
            }
            case Cell::SixTetrahedra: {
                // One tetrahedron per order of stepping along the three axes from corner (0,0,0)
                // to corner (1,1,1).
                std::array<int, 3> axes{0, 1, 2};
                do {
                    std::array<int, 3> at{0, 0, 0};
                    std::array<int, 4> corners{};
                    corners[0] = c(0, 0, 0);
                    for (int step = 0; step < 3; ++step) {
                        at[axes[step]] = 1;
                        corners[step + 1] = c(at[0], at[1], at[2]);
                    }
                    m_mesh.add(FE_MESH_TETRA4, {corners[0], corners[1], corners[2], corners[3]});
                } while (std::next_permutation(axes.begin(), axes.end()));
                break;
            }
            case Cell::Empty: break;
        }
    }

    int node(int i, int j, int k) const { return i + (m_nx + 1) * (j + (m_ny + 1) * k); }
    Mesh& mesh() { return m_mesh; }

private:
    int m_nx, m_ny;
    Mesh m_mesh;
};

Mesh boxOfHexahedra(int nx, int ny, int nz) {
    Grid grid(nx, ny, nz);
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) grid.fill(i, j, k, Cell::Hexahedron);
    return grid.mesh();
}

// Every cell kind next to every other, and a few holes that open inner faces to the outside.
Mesh boxOfMixedSolids(int n) {
    constexpr std::array<Cell, 6> kKinds{Cell::Hexahedron,    Cell::TwoPentahedra,      Cell::SixTetrahedra,
                                         Cell::QuadraticHexahedron, Cell::QuadraticPentahedra, Cell::Hexahedron};
    Grid grid(n, n, n);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                grid.fill(i, j, k, (i * 7 + j * 3 + k * 5) % 11 == 4 ? Cell::Empty : kKinds[(i + 2 * j + k) % 6]);
    return grid.mesh();
}

// Some hexahedra lose corners to a neighbouring corner: pyramids, wedges, flattened and fully
// collapsed solids, whose faces turn into triangles, edges or points.
void collapseSomeHexahedra(Mesh& mesh, unsigned seed) {
    std::mt19937 random(seed);
    for (int e = 0; e < mesh.elementCount(FE_MESH_HEXA8); ++e) {
        int* corners = mesh.element(FE_MESH_HEXA8, e);
        switch (random() % 6) {
            case 0: std::fill(corners + 5, corners + 8, corners[4]); break;  // top into a point
            case 1: corners[5] = corners[4], corners[6] = corners[7]; break;  // top into an edge
            case 2: {  // any corner onto any other
                const unsigned from = random() % 8, onto = random() % 8;
                corners[from] = corners[onto];
                break;
            }
            case 3: std::fill(corners + 1, corners + 8, corners[0]); break;  // nothing left
            default: break;
        }
    }
}

void shuffleElements(Mesh& mesh, unsigned seed) {
    std::mt19937 random(seed);
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type) {
        const int perElement = host::kMeshTypes[type].nodesPerElement;
        std::vector<int> order(mesh.elementCount(type));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<int> shuffled;
        for (int e : order)
            shuffled.insert(shuffled.end(), mesh.connectivity[type].begin() + e * perElement,
                            mesh.connectivity[type].begin() + (e + 1) * perElement);
        mesh.connectivity[type] = std::move(shuffled);
    }
}

// The mesh as a part of its own, after a part of other nodes, so that the part's node numbers do
// not start at zero.
host::Part& partOf(host::ModelBuilder& model, const Mesh& mesh) {
    model.part("Before").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    auto part = model.part("Solids").nodes(std::vector<float>(3 * static_cast<size_t>(mesh.nodeCount), 0.0f));
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
        if (!mesh.connectivity[type].empty()) part.elements(static_cast<_FePartMeshType>(type), mesh.connectivity[type]);
    return part.part();
}

// ---------------------------------------------------------------------------------------------
// The reference: every face's corner set counted in a map, then the faces counted once

struct SkinFace {
    std::vector<int> corners;  // in the face's own order
    host::ElementRef owner;
    bool operator==(const SkinFace& other) const {
        return corners == other.corners && owner.meshType == other.owner.meshType && owner.index == other.owner.index;
    }
};

std::string describe(const SkinFace& face) {
    std::ostringstream text;
    text << host::kMeshTypes[face.owner.meshType].name << " " << face.owner.index << " (";
    for (size_t i = 0; i < face.corners.size(); ++i) text << (i ? " " : "") << face.corners[i];
    text << ")";
    return text.str();
}

// A face's corners without the repeats a collapsed solid leaves: runs of one node count once, and
// so does a run that closes the loop back to the first corner.
std::vector<int> cornersOf(const int* element, const mesh_faces::Face& face) {
    std::vector<int> corners;
    for (int k = 0; k < face.nodeCount; ++k) corners.push_back(element[face.positions[k]]);
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    while (corners.size() > 1 && corners.back() == corners.front()) corners.pop_back();
    return corners;
}

template <typename Visit>
void forEachSolidFace(const host::Part& part, Visit visit) {
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type)
        for (int e = 0; e < part.elementCount(type); ++e)
            for (const mesh_faces::Face& face : host::kSolidFaces[type]) {
                std::vector<int> corners = cornersOf(&part.connectivity[type][e * host::kNodesPerElement[type]], face);
                if (corners.size() >= 3) visit(std::move(corners), host::ElementRef{type, e});
            }
}

std::vector<int> sorted(std::vector<int> nodes) {
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

struct ReferenceSkin {
    std::vector<SkinFace> triangles, quads;
    int sharedAcrossTypes = 0;  // corner sets that solids of different types have in common
    int sharedByMoreThanTwo = 0;
    int collapsedToTriangles = 0;  // four-corner faces left with three corners
};

ReferenceSkin referenceSkinOf(const host::Part& part) {
    struct Uses {
        int count = 0;
        std::set<int> types;
    };
    std::map<std::vector<int>, Uses> uses;
    forEachSolidFace(part, [&](std::vector<int> corners, host::ElementRef owner) {
        Uses& use = uses[sorted(std::move(corners))];
        ++use.count;
        use.types.insert(owner.meshType);
    });
    ReferenceSkin skin;
    for (const auto& [key, use] : uses) {
        skin.sharedAcrossTypes += use.types.size() > 1;
        skin.sharedByMoreThanTwo += use.count > 2;
    }
    forEachSolidFace(part, [&](std::vector<int> corners, host::ElementRef owner) {
        if (uses[sorted(corners)].count != 1) return;
        (corners.size() == 3 ? skin.triangles : skin.quads).push_back({std::move(corners), owner});
    });
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type)
        for (int e = 0; e < part.elementCount(type); ++e)
            for (const mesh_faces::Face& face : host::kSolidFaces[type])
                skin.collapsedToTriangles +=
                    face.nodeCount == 4 &&
                    cornersOf(&part.connectivity[type][e * host::kNodesPerElement[type]], face).size() == 3;
    return skin;
}

std::vector<SkinFace> facesOf(const std::vector<int>& corners, const std::vector<host::ElementRef>& owners,
                              size_t cornersPerFace) {
    std::vector<SkinFace> faces;
    for (size_t i = 0; i < owners.size() && (i + 1) * cornersPerFace <= corners.size(); ++i)
        faces.push_back({{corners.begin() + i * cornersPerFace, corners.begin() + (i + 1) * cornersPerFace}, owners[i]});
    return faces;
}

// Names the first face where the lists part, rather than printing two lists of thousands.
void expectSameFaces(const std::vector<SkinFace>& found, const std::vector<SkinFace>& expected, const char* what) {
    const auto [mismatch, expectedAt] = std::mismatch(found.begin(), found.end(), expected.begin(), expected.end());
    if (mismatch == found.end() && expectedAt == expected.end()) return;
    ADD_FAILURE() << what << " differ at face " << (mismatch - found.begin()) << " of " << found.size() << " (expected "
                  << expected.size() << "): found "
                  << (mismatch == found.end() ? std::string("nothing") : describe(*mismatch)) << ", expected "
                  << (expectedAt == expected.end() ? std::string("nothing") : describe(*expectedAt));
}

// The host's skin of `part`, face for face against the reference; returns the reference.
ReferenceSkin expectSkinAsReference(host::Part& part) {
    const ReferenceSkin reference = referenceSkinOf(part);
    part.skin.reset();
    const host::Part::Skin& skin = part.outerSkin();
    EXPECT_EQ(skin.triangles.size(), 3 * skin.triangleOwner.size());
    EXPECT_EQ(skin.quads.size(), 4 * skin.quadOwner.size());
    expectSameFaces(facesOf(skin.triangles, skin.triangleOwner, 3), reference.triangles, "triangles");
    expectSameFaces(facesOf(skin.quads, skin.quadOwner, 4), reference.quads, "quadrilaterals");
    return reference;
}

// ---------------------------------------------------------------------------------------------

TEST_F(SkinSearch, ABoxOfHexahedraHasItsSixSidesAsSkin) {
    host::ModelBuilder model("box");
    host::Part& part = partOf(model, boxOfHexahedra(5, 4, 3));
    const ReferenceSkin reference = expectSkinAsReference(part);
    EXPECT_EQ(reference.quads.size(), static_cast<size_t>(2 * (5 * 4 + 4 * 3 + 5 * 3)));
    EXPECT_TRUE(reference.triangles.empty());
}

TEST_F(SkinSearch, SolidsOfDifferentTypesShareTheirFaces) {
    host::ModelBuilder model("mixed");
    host::Part& part = partOf(model, boxOfMixedSolids(6));
    const ReferenceSkin reference = expectSkinAsReference(part);
    EXPECT_GT(reference.sharedAcrossTypes, 50) << "the mesh meant to mix types barely does";
    EXPECT_FALSE(reference.triangles.empty());
    EXPECT_FALSE(reference.quads.empty());
}

TEST_F(SkinSearch, CollapsedSolidsLoseTheirRepeatedCornersAndDegenerateFaces) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        host::ModelBuilder model("collapsed");
        Mesh mesh = boxOfHexahedra(6, 5, 4);
        collapseSomeHexahedra(mesh, seed);
        host::Part& part = partOf(model, mesh);
        const ReferenceSkin reference = expectSkinAsReference(part);
        EXPECT_GT(reference.collapsedToTriangles, 10) << "too few quadrilaterals became triangles to tell";
    }
}

// Three solids on one face: each hides it from the others, and none has it as skin.
TEST_F(SkinSearch, AFaceOfThreeSolidsIsInsideEachOfThem) {
    host::ModelBuilder model("non-manifold");
    // Three wedges on one base quad 0-1-2-3, and three tetrahedra on one triangle 6-7-8.
    Mesh mesh;
    mesh.nodeCount = 12;
    mesh.add(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 5});
    mesh.add(FE_MESH_HEXA8, {3, 2, 1, 0, 9, 10, 11, 4});
    mesh.add(FE_MESH_PENTA6, {0, 1, 2, 3, 10, 11});
    mesh.add(FE_MESH_TETRA4, {6, 7, 8, 9});
    mesh.add(FE_MESH_TETRA4, {6, 8, 7, 10});
    mesh.add(FE_MESH_TETRA10, {6, 7, 8, 11, 0, 0, 0, 0, 0, 0});
    // A fan of tetrahedra round hub node 12, from ring nodes 13..28 up to node 29: the hub is the
    // smallest corner of 48 faces, more than any ordinary node. One more tetrahedron stands on
    // face 12-13-29, which the first and last of the fan already share.
    constexpr int kHub = 12, kRing = 13, kRingSize = 16, kTop = kRing + kRingSize, kOutside = kTop + 1;
    mesh.nodeCount = kOutside + 1;
    for (int i = 0; i < kRingSize; ++i)
        mesh.add(FE_MESH_TETRA4, {kHub, kRing + i, kRing + (i + 1) % kRingSize, kTop});
    mesh.add(FE_MESH_TETRA4, {kHub, kRing, kTop, kOutside});

    host::Part& part = partOf(model, mesh);
    const ReferenceSkin reference = expectSkinAsReference(part);
    EXPECT_EQ(reference.sharedByMoreThanTwo, 3);
    const int first = part.firstNode;
    const std::vector<int> sharedQuad{first, first + 1, first + 2, first + 3};
    const std::vector<std::vector<int>> sharedTriangles{{first + 6, first + 7, first + 8},
                                                        {first + kHub, first + kRing, first + kTop}};
    for (const SkinFace& face : reference.quads) EXPECT_NE(sorted(face.corners), sharedQuad);
    for (const SkinFace& face : reference.triangles)
        for (const auto& shared : sharedTriangles) EXPECT_NE(sorted(face.corners), shared);
}

TEST_F(SkinSearch, ElementOrderDoesNotChangeWhichFacesAreSkin) {
    for (unsigned seed : {11u, 12u, 13u, 14u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        host::ModelBuilder model("shuffled");
        Mesh mesh = boxOfMixedSolids(5);
        collapseSomeHexahedra(mesh, seed);
        shuffleElements(mesh, seed);
        expectSkinAsReference(partOf(model, mesh));
    }
}

TEST_F(SkinSearch, APartWithoutSolidsHasNoSkin) {
    host::ModelBuilder model("flat");
    Mesh shells;
    shells.nodeCount = 4;
    shells.add(FE_MESH_QUAD4, {0, 1, 2, 3});
    host::Part& shellPart = partOf(model, shells);
    const host::Part::Skin& shellSkin = shellPart.outerSkin();
    EXPECT_TRUE(shellSkin.triangles.empty() && shellSkin.quads.empty());

    host::Part& empty = model.part("Empty").part();
    const host::Part::Skin& emptySkin = empty.outerSkin();
    EXPECT_TRUE(emptySkin.triangles.empty() && emptySkin.quads.empty() && emptySkin.quadOwner.empty());
}

// The builder never lets a solid name another part's node; a part filled by other means whose
// faces start below or past its own nodes is refused, rather than bucketed out of bounds.
TEST_F(SkinSearch, ASolidOutsideItsPartsNodesIsRefused) {
    host::Part part;
    part.name = "Stray";
    part.firstNode = 8;
    part.nodeCount = 8;
    const std::vector<int> inside{8, 9, 10, 11, 12, 13, 14, 15};
    part.connectivity[FE_MESH_HEXA8] = inside;
    EXPECT_EQ(part.outerSkin().quadOwner.size(), 6u);

    const std::vector<int> below{7, 9, 10, 11, 12, 13, 14, 15};
    const std::vector<int> past{16, 17, 18, 19, 20, 21, 22, 23};
    for (const auto& stray : {below, past}) {
        part.skin.reset();
        part.connectivity[FE_MESH_HEXA8] = inside;
        part.connectivity[FE_MESH_HEXA8].insert(part.connectivity[FE_MESH_HEXA8].end(), stray.begin(), stray.end());
        EXPECT_THROW(part.outerSkin(), std::out_of_range) << "solid " << ::testing::PrintToString(stray);
        EXPECT_FALSE(part.skin.has_value()) << "a refused search leaves no skin behind";
    }
}

}  // namespace
