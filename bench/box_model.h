// The benchmark's model: a box of n × n × n unit cubes, each an 8-node hexahedron, in one part,
// with one frame and a smooth per-node field (and, when asked, a per-element field), set up in the
// host as a model reader would leave it.
#pragma once

#include "scene.h"

#include <string>
#include <vector>

namespace bench {

inline constexpr const char* kNodeFieldName = "temperature";
inline constexpr const char* kElementFieldName = "stress";

struct BoxModel {
    ModelStr* model = nullptr;
    WindowStr* nodeWindow = nullptr;     // the node field's contours: one texture coordinate per node
    WindowStr* elementWindow = nullptr;  // one colour per element: the element field's, or else the
                                         // node field averaged per element
    int size = 0;  // cubes along each edge
    long long nodeCount() const { return (size + 1LL) * (size + 1LL) * (size + 1LL); }
    long long elementCount() const { return 1LL * size * size * size; }
};

// The hexahedra's nodes, 8 per element, numbered from 0: the bottom face counter-clockwise seen
// from above, then the top face above it.
std::vector<int> hexahedronNodes(int size);

// Node (i, j, k) sits at (i, j, k) and has the number i + (n + 1) (j + (n + 1) k).
BoxModel buildBoxModel(int size, bool elementValues);

}  // namespace bench
