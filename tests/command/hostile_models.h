// Small damaged or unusual models for the hostile-input corpus, written inline so each test
// shows exactly what the command reads.
#pragma once

#include <string_view>

namespace hostile_models {

// Nodes and no elements at all.
inline constexpr std::string_view kNodesOnly = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
3
1 0 0 0
2 1 0 0
3 0 1 0
$EndNodes
)";

// One node, and a triangle whose three corners are that node.
inline constexpr std::string_view kOneNode = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
1
1 0.5 0.5 0
$EndNodes
$Elements
1
1 2 2 1 1 1 1 1
$EndElements
)";

// A quadrilateral and a view that promises 4 node values but gives 2.
inline constexpr std::string_view kShortView = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
4
1 0 0 0
2 1 0 0
3 1 1 0
4 0 1 0
$EndNodes
$Elements
1
1 3 2 1 1 1 2 3 4
$EndElements
$NodeData
1
"Short"
1
0
3
0
1
4
1 10
2 11
$EndNodeData
)";

// A quadrilateral whose last corner is node 99, which the file does not define.
inline constexpr std::string_view kMissingNode = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
3
1 0 0 0
2 1 0 0
3 1 1 0
$EndNodes
$Elements
1
1 3 2 1 1 1 2 3 99
$EndElements
)";

// Two quadrilaterals in two groups. "Excess" gives values for nodes and elements the mesh does
// not have; "Left" covers only the nodes and elements of the left part.
inline constexpr std::string_view kMismatchedViews = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$PhysicalNames
2
2 1 "Left"
2 2 "Right"
$EndPhysicalNames
$Nodes
6
1 0 0 0
2 1 0 0
3 1 1 0
4 0 1 0
5 2 0 0
6 2 1 0
$EndNodes
$Elements
2
1 3 2 1 1 1 2 3 4
2 3 2 2 2 2 5 6 3
$EndElements
$NodeData
1
"Excess"
1
0
3
0
1
3
1 5
70 6
80 7
$EndNodeData
$ElementData
1
"Excess per element"
1
0
3
0
1
2
1 1
9 2
$EndElementData
$NodeData
1
"Left"
1
0
3
0
1
4
1 1
2 2
3 3
4 4
$EndNodeData
$ElementData
1
"Left per element"
1
0
3
0
1
1
1 7
$EndElementData
)";

// Numbers that are not finite, and one beyond a float's range, where a model has numbers:
// node 2's x, node 6's y, node 5's z; the temperature at three nodes; the stress of one
// element; the displacement of node 4 at the second step; the second step's time.
inline constexpr std::string_view kNonFinite = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$PhysicalNames
2
2 1 "Plate"
2 7 "Skin"
$EndPhysicalNames
$Nodes
6
1 0 0 0
2 nan 0 0
3 1 1 0
4 0 1 0
5 2 0 -inf
6 2 1e300 0
$EndNodes
$Elements
3
1 3 2 1 1 1 2 3 4
2 2 2 7 2 2 5 6
3 2 2 7 2 2 6 3
$EndElements
$NodeData
1
"Temperature"
1
0
3
0
1
6
1 10
2 inf
3 -inf
4 nan
5 14
6 15
$EndNodeData
$ElementData
1
"Stress"
1
0
3
0
1
3
1 1.5
2 -1e300
3 3.5
$EndElementData
$NodeData
1
"Displacement"
1
0
3
0
3
6
1 0 0 0
2 0 0 0
3 0 0 0
4 0 0 0
5 0 0 0
6 0 0 0
$EndNodeData
$NodeData
1
"Displacement"
1
nan
3
1
3
6
1 0.1 0 0
2 0.1 0 0
3 0.1 0 0
4 nan 0 0
5 0.1 0 0
6 0.1 inf 0
$EndNodeData
)";

// Coordinates at the ends of a float's range: finite, but their sum is not.
inline constexpr std::string_view kHugeCoordinates = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
4
1 -3e38 0 0
2 3e38 0 0
3 3e38 3e38 0
4 0 3e38 0
$EndNodes
$Elements
1
1 3 2 1 1 1 2 3 4
$EndElements
)";

// A quadrilateral whose displacement moves node 3 by 1e29: a --scale of 100 moves it beyond
// what a scene holds.
inline constexpr std::string_view kFarDisplacement = R"($MeshFormat
2.2 0 8
$EndMeshFormat
$Nodes
4
1 0 0 0
2 1 0 0
3 1 1 0
4 0 1 0
$EndNodes
$Elements
1
1 3 2 1 1 1 2 3 4
$EndElements
$NodeData
1
"Displacement"
1
0
3
0
3
4
1 0 0 0
2 0 0 0
3 1e29 0 0
4 0 0 0
$EndNodeData
)";

// A UNV file of one quadrilateral and a group "Plate" that names element 5, which the file does
// not have. Gmsh 4.8 crashes on it (SIGSEGV) instead of rejecting it.
inline constexpr std::string_view kUnvGroupOfMissingElement = R"(    -1
  2411
         1         1         1        11
   0.0000000000000000D+00   0.0000000000000000D+00   0.0000000000000000D+00
         2         1         1        11
   1.0000000000000000D+00   0.0000000000000000D+00   0.0000000000000000D+00
         3         1         1        11
   1.0000000000000000D+00   1.0000000000000000D+00   0.0000000000000000D+00
         4         1         1        11
   0.0000000000000000D+00   1.0000000000000000D+00   0.0000000000000000D+00
    -1
    -1
  2412
         1        94         1         0         7         4
         1         2         3         4
    -1
    -1
  2477
         1         0         0         0         0         0         0         1
Plate
         8         5         0         0
    -1
)";

}  // namespace hostile_models
