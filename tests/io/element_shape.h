// Whether a reader's table row gives the host an element of the right shape, checked on the file
// format's own reference element: the faces the writer draws for the host type must be the
// element's faces, each flat, facing outwards and whole, and each mid-side node halving its edge.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace element_shape {

using Point = std::array<double, 3>;

// `at(k)`: the reference point of the host element's k-th node (the row's node order applied);
// `hostType`: a host mesh type, or -1 for a 2-node line; `corners`: the reference element's
// corners. Reports failures as gtest expectations, each naming `name`.
void expectHostShape(const std::string& name, int hostType, const std::function<Point(int)>& at,
                     const std::vector<Point>& corners);

}  // namespace element_shape
