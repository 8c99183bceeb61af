// Part names as node names: unique after they are made fit for VRML, and never one of the names
// the writer gives its own nodes.
#include "ZVRMLSceneText.h"
#include "io/gmsh_part_names.h"

#include <gtest/gtest.h>

namespace {

using host::io::GroupName;
using host::io::PartName;

std::vector<std::string> sceneNames(const std::vector<std::string>& fileNames) {
    std::vector<GroupName> groups;
    for (const std::string& name : fileNames) groups.push_back({name, 2});
    std::vector<std::string> names;
    for (const PartName& part : host::io::scenePartNames(groups, kVRMLWriterNodeNames)) names.push_back(part.name);
    return names;
}

TEST(GmshPartNamesUnique, NamesThatBecomeEqualWhenMadeFitAreNumbered) {
    EXPECT_EQ(sceneNames({"a b", "a_b", "a.b", "a_b_(2)"}), (std::vector<std::string>{"a_b", "a_b_(2)", "a_b_(3)", "a_b_(2)_(2)"}));
    const std::vector<PartName> parts = host::io::scenePartNames(std::vector<GroupName>{{"a b", 2}, {"a_b", 2}});
    EXPECT_EQ(parts[1].sourceName, "a_b") << "the note names the file's name";
}

TEST(GmshPartNamesUnique, TheWritersOwnNodeNamesAreNeverAPartsName) {
    for (const std::string_view own : kVRMLWriterNodeNames)
        EXPECT_EQ(sceneNames({std::string(own)}), (std::vector<std::string>{std::string(own) + "_(2)"})) << own;
    EXPECT_EQ(sceneNames({""}), (std::vector<std::string>{"__(2)"})) << "an empty name becomes _, which the writer has";
    EXPECT_EQ(sceneNames({"global coords"}), (std::vector<std::string>{"global_coords_(2)"}));
}

}  // namespace
