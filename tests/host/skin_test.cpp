// The outer skin of solid parts: generated meshes (solid types mixed, collapsed, faces shared by
// three solids, elements shuffled) against a plain reference that counts every face's corner set
// in a map. That the faces point outwards is the face table's to prove
// (tests/io/element_types_test.cpp): the skin must list them as the table does.
#include "hostmodel.h"
#include "mesh_types.h"
#include "scene_builder.h"
#include "test_support.h"

#include <algorithm>
#include <map>
#include <random>

namespace {

using Skin = testing_support::HostTest;

// A mesh in part-local node numbers.
struct Mesh {
    int nodeCount = 0;
    std::array<std::vector<int>, FE_MESH_TYPE_COUNT> connectivity;
    void add(_FePartMeshType type, std::vector<int> nodes) {
        while (static_cast<int>(nodes.size()) < host::kNodesPerElement[type]) nodes.push_back(nodeCount++);  // mid-side nodes
        connectivity[type].insert(connectivity[type].end(), nodes.begin(), nodes.end());
    }
};

// An n×n×n grid of unit cells, each filled with solids of another kind (hexahedra, two wedges,
// six tetrahedra, their quadratic forms) or left empty, so neighbours of different kinds share
// faces; then hexahedra collapse (corners onto corners) and elements are shuffled.
Mesh mixedBox(int n, unsigned seed) {
    Mesh mesh;
    mesh.nodeCount = (n + 1) * (n + 1) * (n + 1);
    std::mt19937 random(seed);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                auto c = [&](int di, int dj, int dk) { return i + di + (n + 1) * (j + dj + (n + 1) * (k + dk)); };
                const int kind = (i * 7 + j * 3 + k * 5) % 11 == 4 ? 9 : (i + 2 * j + k) % 6;
                if (kind == 0 || kind == 3 || kind == 5) {
                    std::vector<int> hexa{c(0, 0, 0), c(1, 0, 0), c(1, 1, 0), c(0, 1, 0), c(0, 0, 1), c(1, 0, 1), c(1, 1, 1), c(0, 1, 1)};
                    if (kind != 3) {
                        const unsigned what = random() % 5, from = random() % 8, onto = random() % 8;
                        if (what == 0) std::fill(hexa.begin() + 5, hexa.end(), hexa[4]);  // top into a point
                        if (what == 1) hexa[5] = hexa[4], hexa[6] = hexa[7];             // top into an edge
                        if (what == 2) hexa[from] = hexa[onto];
                    }
                    mesh.add(kind == 3 ? FE_MESH_HEXA20 : FE_MESH_HEXA8, hexa);
                } else if (kind == 1 || kind == 4) {
                    const _FePartMeshType wedge = kind == 4 ? FE_MESH_PENTA15 : FE_MESH_PENTA6;
                    mesh.add(wedge, {c(0, 0, 0), c(1, 0, 0), c(1, 0, 1), c(0, 0, 1), c(1, 1, 0), c(1, 1, 1)});
                    mesh.add(wedge, {c(0, 0, 0), c(0, 1, 0), c(0, 1, 1), c(0, 0, 1), c(1, 1, 0), c(1, 1, 1)});
                } else if (kind == 2) {
                    std::array<int, 3> axes{0, 1, 2};  // one tetrahedron per order of the axes
                    int made = 0;
                    do {
                        std::array<int, 3> at{0, 0, 0};
                        std::vector<int> corners{c(0, 0, 0)};
                        for (int step = 0; step < 3; ++step) at[axes[step]] = 1, corners.push_back(c(at[0], at[1], at[2]));
                        mesh.add(made++ % 2 ? FE_MESH_TETRA10 : FE_MESH_TETRA4, corners);
                    } while (std::next_permutation(axes.begin(), axes.end()));
                }
            }
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type) {
        const int per = host::kNodesPerElement[type];
        std::vector<std::vector<int>> elements;
        for (size_t e = 0; e < mesh.connectivity[type].size(); e += per)
            elements.emplace_back(mesh.connectivity[type].begin() + e, mesh.connectivity[type].begin() + e + per);
        std::shuffle(elements.begin(), elements.end(), random);
        mesh.connectivity[type].clear();
        for (const auto& element : elements) mesh.connectivity[type].insert(mesh.connectivity[type].end(), element.begin(), element.end());
    }
    return mesh;
}

// A face's corners without the repeats a collapsed solid leaves (a run, or one closing the loop).
std::vector<int> cornersOf(const int* element, const mesh_faces::Face& face) {
    std::vector<int> corners;
    for (int k = 0; k < face.nodeCount; ++k) corners.push_back(element[face.positions[k]]);
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    while (corners.size() > 1 && corners.back() == corners.front()) corners.pop_back();
    return corners;
}

// Faces as "type index: corners", in the order the host must list them.
using FaceList = std::vector<std::string>;

std::string faceText(int type, int index, const std::vector<int>& corners) {
    std::string text = std::to_string(type) + " " + std::to_string(index) + ":";
    for (int node : corners) text += " " + std::to_string(node);
    return text;
}

std::array<FaceList, 2> referenceSkin(const host::Part& part) {
    std::map<std::vector<int>, int> uses;
    std::array<FaceList, 2> skin;
    for (int pass = 0; pass < 2; ++pass)
        for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type)
            for (int e = 0; e < part.elementCount(type); ++e)
                for (const mesh_faces::Face& face : host::kSolidFaces[type]) {
                    const std::vector<int> corners = cornersOf(&part.connectivity[type][e * host::kNodesPerElement[type]], face);
                    if (corners.size() < 3) continue;
                    std::vector<int> key = corners;
                    std::sort(key.begin(), key.end());
                    if (pass == 0) ++uses[key];
                    else if (uses[key] == 1) skin[corners.size() - 3].push_back(faceText(type, e, corners));
                }
    return skin;
}

FaceList hostFaces(const std::vector<int>& corners, const std::vector<host::ElementRef>& owners, size_t per) {
    EXPECT_EQ(corners.size(), per * owners.size());
    FaceList faces;
    for (size_t i = 0; i < owners.size(); ++i)
        faces.push_back(faceText(owners[i].meshType, owners[i].index, {corners.begin() + i * per, corners.begin() + (i + 1) * per}));
    return faces;
}

TEST_F(Skin, GeneratedMeshesAgreeWithTheReference) {
    Mesh threeOnOneFace;  // three solids on quad 0-1-2-3 and three on triangle 6-7-8: none of them skin
    threeOnOneFace.nodeCount = 12;
    threeOnOneFace.add(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 5});
    threeOnOneFace.add(FE_MESH_HEXA8, {3, 2, 1, 0, 9, 10, 11, 4});
    threeOnOneFace.add(FE_MESH_PENTA6, {0, 1, 2, 3, 10, 11});
    threeOnOneFace.add(FE_MESH_TETRA4, {6, 7, 8, 9});
    threeOnOneFace.add(FE_MESH_TETRA4, {6, 8, 7, 10});
    threeOnOneFace.add(FE_MESH_TETRA10, {6, 7, 8, 11, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 16; ++i) threeOnOneFace.add(FE_MESH_TETRA4, {12, 13 + i, 13 + (i + 1) % 16, 29});  // a fan round hub 12
    threeOnOneFace.add(FE_MESH_TETRA4, {12, 13, 29, 30});
    threeOnOneFace.nodeCount = 31;

    const std::pair<const char*, Mesh> meshes[] = {
        {"three on one face", threeOnOneFace}, {"seed 1", mixedBox(6, 1)}, {"seed 2", mixedBox(5, 2)}, {"seed 3", mixedBox(5, 3)}};
    for (const auto& [name, mesh] : meshes) {
        host::ModelBuilder model(name);
        model.part("Before").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});  // part nodes start at 3
        auto solids = model.part("Solids").nodes(std::vector<float>(3 * static_cast<size_t>(mesh.nodeCount), 0.0f));
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
            if (!mesh.connectivity[type].empty()) solids.elements(static_cast<_FePartMeshType>(type), mesh.connectivity[type]);
        const std::array<FaceList, 2> expected = referenceSkin(solids.part());
        int triCount = -1, quadCount = -1, *tri = nullptr, *quad = nullptr;
        FePartGetSkinElementConnectivity(solids.handle(), &triCount, &tri, &quadCount, &quad);
        const host::Part::Skin& skin = solids.part().outerSkin();
        EXPECT_EQ(hostFaces({tri, tri + 3 * triCount}, skin.triangleOwner, 3), expected[0]) << name;
        EXPECT_EQ(hostFaces({quad, quad + 4 * quadCount}, skin.quadOwner, 4), expected[1]) << name;
        EXPECT_FALSE(expected[1].empty()) << name;
        FePartGetSkinElementConnectivity(model.model().parts[0].get(), &triCount, &tri, &quadCount, &quad);
        EXPECT_TRUE(triCount == 0 && quadCount == 0 && tri == nullptr && quad == nullptr) << "a shell part has no skin";
    }
}

}  // namespace
