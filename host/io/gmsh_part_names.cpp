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

// `name`, or the first of "name_(2)", "name_(3)", ... that is not taken yet.
std::string untakenName(const std::string& name, const std::set<std::string>& taken) {
    if (!taken.contains(name)) return name;
    for (int number = 2;; ++number)
        if (std::string numbered = name + "_(" + std::to_string(number) + ")"; !taken.contains(numbered)) return numbered;
}

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

std::vector<PartName> scenePartNames(std::span<const GroupName> groups, std::span<const std::string_view> reserved) {
    std::map<std::string, std::set<int>> dimensionsOf;
    for (const GroupName& group : groups) dimensionsOf[group.name].insert(group.dimension);
    std::vector<std::string> shown;
    for (const GroupName& group : groups)
        shown.push_back(dimensionsOf[group.name].size() > 1
                            ? group.name + " (" + std::to_string(group.dimension) + "D)"
                            : group.name);
    numberRepeatedNames(shown);
    // Names that differ only in characters VRML does not take become one; node names must stay
    // apart from each other and from the writer's own.
    std::set<std::string> taken(reserved.begin(), reserved.end());
    std::vector<PartName> names;
    for (std::string& name : shown) {
        std::string fit = untakenName(vrmlPartName(name), taken);
        taken.insert(fit);
        names.push_back(fit == name ? PartName{std::move(fit), {}} : PartName{std::move(fit), std::move(name)});
    }
    return names;
}

}  // namespace host::io
