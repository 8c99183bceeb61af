// Reading back what a scene file says, so tests can compare a file with the model it came from:
// the faces and colours of each shape, a part's text, the values of a field.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct ShapeText {
    std::string text;                        // from "Shape {" to the next shape or part
    std::vector<std::vector<int>> faces;     // coordIndex, split at -1
    std::vector<std::array<int, 3>> colors;  // the Color node's colours, as 0..255 bytes
};

// The shapes of `scene`, in file order.
std::vector<ShapeText> shapesIn(const std::string& scene);
// The first group (or the whole match) of every match of `pattern`, say "translation[ \t]+([^\n]*)".
std::vector<std::string> matchesOf(const std::string& text, const std::string& pattern);
// The text of the transform "DEF <name> Transform", up to the next part or the end; empty without one.
std::string partText(const std::string& scene, const std::string& name);

// A spectrum of 16 bands over 0..16 whose band k has the red component 10 + 15k, so a colour read
// back from a file names the value it was made from (give it the range 0..16).
std::vector<uint32_t> countingColors();
std::vector<int> valuesOf(const ShapeText& shape);  // the value behind each of the shape's colours

}  // namespace testing_support
