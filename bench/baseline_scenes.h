// The bulk of each benchmarked export, written the baseline's way: the same lists, numbers and
// separators, at the depth the export indents them. What the export adds around them (header,
// viewpoint, appearance, legend) is a few kilobytes and left out.
#pragma once

#include "box_model.h"

#include <string>
#include <vector>

namespace bench {

// Every face of every hexahedron, the coordinates and one texture coordinate per node.
long long writeFullBaseline(const BoxModel& box, const std::string& path);
// The outer quadrilaterals only (the host's skin of the box, already extracted), the
// coordinates and one texture coordinate per node.
long long writeSkinBaseline(const BoxModel& box, const std::string& path);
// Red, green and blue (0..255) of each element in the element window's spectrum, found before
// the baseline is timed: it measures writing text, not looking up colours.
std::vector<int> elementColours(const BoxModel& box);
// Every face of every hexahedron in its element's colour, a colour index per face and the
// coordinates.
long long writeElementColourBaseline(const BoxModel& box, const std::vector<int>& colours, const std::string& path);

}  // namespace bench
