#include "gmsh_part_names.h"

#include <map>
#include <set>

namespace host::io {
namespace {

bool allowedAnywhere(unsigned char c) {
    if (c <= 0x20 || c == 0x7f) return false;
    switch (c) {
        case '"': case '#': case '\'': case ',': case '.': case '[': case '\\': case ']': case '{': case '}':
            return false;
        default: return true;
    }
}

bool allowedFirst(unsigned char c) { return c != '+' && c != '-' && (c < '0' || c > '9'); }

}  // namespace

std::string vrmlPartName(std::string_view name) {
    std::string fit;
    fit.reserve(name.size() + 1);
    if (name.empty() || !allowedFirst(static_cast<unsigned char>(name.front()))) fit += '_';
    for (const char c : name) fit += allowedAnywhere(static_cast<unsigned char>(c)) ? c : '_';
    return fit;
}

std::string inQuotes(std::string_view name) { return "\"" + std::string(name) + "\""; }

void numberRepeatedNames(std::vector<std::string>& names) {
    std::map<std::string, int> uses, seen;
    for (const std::string& name : names) ++uses[name];
    for (std::string& name : names)
        if (uses[name] > 1)
            if (const int number = ++seen[name]; number > 1) name += " (" + std::to_string(number) + ")";
}

std::vector<PartName> scenePartNames(std::span<const GroupName> groups) {
    std::map<std::string, std::set<int>> dimensionsOf;
    for (const GroupName& group : groups) dimensionsOf[group.name].insert(group.dimension);
    std::vector<std::string> shown;
    for (const GroupName& group : groups)
        shown.push_back(dimensionsOf[group.name].size() > 1
                            ? group.name + " (" + std::to_string(group.dimension) + "D)"
                            : group.name);
    numberRepeatedNames(shown);
    std::vector<PartName> names;
    for (std::string& name : shown) {
        std::string fit = vrmlPartName(name);
        names.push_back(fit == name ? PartName{std::move(fit), {}} : PartName{std::move(fit), std::move(name)});
    }
    return names;
}

}  // namespace host::io
