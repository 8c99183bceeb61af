// Small model files written inline, so each test shows exactly what the command reads.
#pragma once

#include <string>
#include <string_view>

namespace command_test {

// A plate of one quadrilateral, a skin of two triangles on a group whose name has a blank, and a
// rod on a curve; a node field over three steps and an element field over one.
inline constexpr std::string_view kPlateAndRod = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$PhysicalNames
3
1 3 "Rod"
2 1 "Plate"
2 7 "Top skin"
$EndPhysicalNames
$Nodes
7
1 0 0 0
2 1 0 0
3 1 1 0
4 0 1 0
5 2 0 0
6 2 1 0
7 0 0 1
$EndNodes
$Elements
4
1 3 2 1 1 1 2 3 4
2 2 2 7 2 2 5 6
3 2 2 7 2 2 6 3
4 1 2 3 3 1 7
$EndElements
$NodeData
1
"Temperature"
1
0
3
0
1
7
1 10
2 11
3 12
4 13
5 14
6 15
7 16
$EndNodeData
$NodeData
1
"Temperature"
1
0.5
3
1
1
7
1 20
2 21
3 22
4 23
5 24
6 25
7 26
$EndNodeData
$NodeData
1
"Temperature"
1
1
3
2
1
7
1 30
2 31
3 32
4 33
5 34
6 35
7 36
$EndNodeData
$ElementData
1
"Stress"
1
0
3
0
1
4
1 1.5
2 2.5
3 3.5
4 4.5
$EndElementData
)";

// Nodes and point elements only: nothing a scene can show.
inline constexpr std::string_view kPointsOnly = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
2
1 0 0 0
2 1 0 0
$EndNodes
$Elements
2
1 15 2 0 1 1
2 15 2 0 2 2
$EndElements
)";

// A box of a × b × c unit cubes, each an 8-node hexahedron, in one volume "Box", with its nodes'
// heights as a node field "Height": a solid whose face counts are known without reading it,
// 6abc faces in all and 2(ab + bc + ca) on its skin.
inline std::string boxOfHexahedra(int a, int b, int c) {
    const auto node = [&](int i, int j, int k) { return 1 + i + (a + 1) * (j + (b + 1) * k); };
    const int nodes = (a + 1) * (b + 1) * (c + 1);
    std::string coordinates, heights;
    for (int k = 0; k <= c; ++k)
        for (int j = 0; j <= b; ++j)
            for (int i = 0; i <= a; ++i) {
                const std::string id = std::to_string(node(i, j, k));
                coordinates += id + " " + std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(k) + "\n";
                heights += id + " " + std::to_string(k) + "\n";
            }
    std::string elements;
    int id = 0;
    for (int k = 0; k < c; ++k)
        for (int j = 0; j < b; ++j)
            for (int i = 0; i < a; ++i) {
                elements += std::to_string(++id) + " 5 2 1 1";
                for (const int corner : {node(i, j, k), node(i + 1, j, k), node(i + 1, j + 1, k), node(i, j + 1, k),
                                         node(i, j, k + 1), node(i + 1, j, k + 1), node(i + 1, j + 1, k + 1),
                                         node(i, j + 1, k + 1)})
                    elements += " " + std::to_string(corner);
                elements += "\n";
            }
    return "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$PhysicalNames\n1\n3 1 \"Box\"\n$EndPhysicalNames\n"
           "$Nodes\n" + std::to_string(nodes) + "\n" + coordinates + "$EndNodes\n"
           "$Elements\n" + std::to_string(id) + "\n" + elements + "$EndElements\n"
           "$NodeData\n1\n\"Height\"\n1\n0\n3\n0\n1\n" + std::to_string(nodes) + "\n" + heights + "$EndNodeData\n";
}

}  // namespace command_test
