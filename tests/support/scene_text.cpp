#include "scene_text.h"

#include <cmath>
#include <cstdlib>
#include <regex>

namespace testing_support {
namespace {

// Every number between the first `opening` in `text` and the next "]", whatever separates them.
std::vector<double> numbersAfter(const std::string& text, const std::string& opening) {
    std::vector<double> numbers;
    const size_t start = text.find(opening);
    if (start == std::string::npos) return numbers;
    const std::string list = text.substr(start + opening.size(), text.find(']', start) - start - opening.size());
    for (const char* at = list.c_str(); *at != '\0';) {
        char* end = nullptr;
        const double value = std::strtod(at, &end);
        if (end == at) ++at;
        else numbers.push_back(value), at = end;
    }
    return numbers;
}

}  // namespace

std::vector<ShapeText> shapesIn(const std::string& scene) {
    std::vector<ShapeText> shapes;
    const std::string marker = "Shape {";
    for (size_t at = scene.find(marker); at != std::string::npos;) {
        const size_t next = scene.find(marker, at + 1);
        const size_t end = std::min(next, scene.find(" Transform {", at));
        ShapeText shape{scene.substr(at, end == std::string::npos ? std::string::npos : end - at), {{}}, {}};
        for (double index : numbersAfter(shape.text, "coordIndex [")) {
            if (index >= 0) shape.faces.back().push_back(static_cast<int>(index));
            else shape.faces.emplace_back();
        }
        shape.faces.pop_back();  // the one opened after the last -1
        const std::vector<double> components = numbersAfter(shape.text, "color [");
        for (size_t c = 0; c + 2 < components.size(); c += 3)
            shape.colors.push_back({static_cast<int>(std::lround(components[c] * 255)), static_cast<int>(std::lround(components[c + 1] * 255)),
                                    static_cast<int>(std::lround(components[c + 2] * 255))});
        shapes.push_back(std::move(shape));
        at = next;
    }
    return shapes;
}

std::vector<std::string> matchesOf(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.push_back(it->size() > 1 ? (*it)[1].str() : it->str());
    return found;
}

std::string partText(const std::string& scene, const std::string& name) {
    const size_t start = scene.find("DEF " + name + " Transform {");
    if (start == std::string::npos) return {};
    const size_t next = scene.find(" Transform {", scene.find('\n', start));
    return scene.substr(start, next == std::string::npos ? std::string::npos : next - start);
}

std::vector<uint32_t> countingColors() {
    std::vector<uint32_t> colors;
    for (uint32_t band = 0; band < 16; ++band) colors.push_back(10 + 15 * band);
    return colors;
}

std::vector<int> valuesOf(const ShapeText& shape) {
    std::vector<int> values;
    for (const auto& color : shape.colors) values.push_back((color[0] - 10) / 15);
    return values;
}

}  // namespace testing_support
