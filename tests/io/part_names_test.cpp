// Part names as VRML node names: made fit, unique, and never one the writer gives its own nodes.
#include "ZVRMLSceneText.h"
#include "io/gmsh_part_names.h"

#include <gtest/gtest.h>

namespace {

using host::io::GroupName;
using host::io::PartName;

TEST(PartNames, FitForVrml) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Physical 2 7", "Physical_2_7"}, {"a\"b#c'd,e.f[g\\h]i{j}k", "a_b_c_d_e_f_g_h_i_j_k"},
        {std::string("tab\tnul") + '\0' + "del\x7f", "tab_nul_del_"}, {"2nd", "_2nd"}, {"+x", "_+x"}, {"-x", "_-x"},
        {"x+-9", "x+-9"}, {".hidden", "_hidden"}, {"Träger_€", "Träger_€"}, {"a(1)!$%&*/:;<=>?@^`|~", "a(1)!$%&*/:;<=>?@^`|~"}, {"", "_"}};
    for (const auto& [name, fit] : cases) EXPECT_EQ(host::io::vrmlPartName(name), fit) << name;
}

// Groups of one name are told apart by dimension, then by number; names equal once made fit are
// numbered, and no part takes a name the writer gives a node of its own.
TEST(PartNames, Unique) {
    const std::vector<std::pair<std::vector<GroupName>, std::vector<PartName>>> cases{
        {{{"Steel", 2}, {"Steel", 3}, {"Skin", 2}, {"Skin", 2}, {"Skin", 2}, {"Wire", 1}, {"Glue line", 1}},
         {{"Steel_(2D)", "Steel (2D)"}, {"Steel_(3D)", "Steel (3D)"}, {"Skin", ""}, {"Skin_(2)", "Skin (2)"},
          {"Skin_(3)", "Skin (3)"}, {"Wire", ""}, {"Glue_line", "Glue line"}}},
        {{{"a b", 2}, {"a_b", 2}, {"a.b", 2}, {"a_b_(2)", 2}},
         {{"a_b", "a b"}, {"a_b_(2)", "a_b"}, {"a_b_(3)", "a.b"}, {"a_b_(2)_(2)", "a_b_(2)"}}},
        {{{"", 2}, {"global coords", 2}}, {{"__(2)", ""}, {"global_coords_(2)", "global coords"}}},
    };
    for (const auto& [groups, expected] : cases) {
        const std::vector<PartName> names = host::io::scenePartNames(groups, kVRMLWriterNodeNames);
        ASSERT_EQ(names.size(), expected.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i].name, expected[i].name) << i;
            if (!expected[i].sourceName.empty()) {
                EXPECT_EQ(names[i].sourceName, expected[i].sourceName) << i;
            }
        }
    }
    for (const std::string_view own : kVRMLWriterNodeNames)
        EXPECT_EQ(host::io::scenePartNames(std::vector<GroupName>{{std::string(own), 2}}, kVRMLWriterNodeNames).at(0).name,
                  std::string(own) + "_(2)");
}

}  // namespace
