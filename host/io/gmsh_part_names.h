// Part names become node names in exported scenes, so they must be VRML identifiers.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace host::io {

// `name` fit to stand as a VRML97 identifier: each character an identifier may not hold (control
// characters and blank, " # ' , . [ \ ] { } and DEL) becomes "_", and a name that starts with a
// character that may not come first (+, - or a digit) gets "_" in front. Other characters,
// non-ASCII UTF-8 included, stay as they are; an empty name becomes "_".
std::string vrmlPartName(std::string_view name);

// A name as notes show it: in double quotes.
std::string inQuotes(std::string_view name);

// Numbers the repeats of a name, in order: the first keeps it, the next become "name (2)",
// "name (3)", ..., so that parts or fields of one name can be told apart.
void numberRepeatedNames(std::vector<std::string>& names);

struct GroupName {
    std::string name;  // as the file gives it, or as made up for a group without one
    int dimension;
};

struct PartName {
    std::string name;        // for the scene
    std::string sourceName;  // the name before vrmlPartName changed it; empty when it did not
};

// The names of the parts made from `groups`, in order. A name that groups of several dimensions
// share gets the dimension (" (2D)"), a name still repeated after that a number (" (2)", " (3)"),
// so that parts can be told apart; then each is fit for VRML. A fit name that an earlier part
// or a reserved name already has gets the first free
// number ("_(2)", ...): every node name in a scene stays unique. `reserved` are names no part may
// take: the scene writer's own node names (Global_model, global_coords, ...), which the caller has.
std::vector<PartName> scenePartNames(std::span<const GroupName> groups,
                                     std::span<const std::string_view> reserved = {});

}  // namespace host::io
