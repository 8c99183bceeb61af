#include "io/gmsh_part_names.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using host::io::GroupName;
using host::io::PartName;

TEST(GmshPartNames, FitsNamesForVrmlIdentifiers) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Block", "Block"},
        {"Physical 2 7", "Physical_2_7"},
        {"a\"b#c'd,e.f[g\\h]i{j}k", "a_b_c_d_e_f_g_h_i_j_k"},
        {std::string("tab\tnul") + '\0' + "del\x7f", "tab_nul_del_"},
        {"2nd", "_2nd"},
        {"+x", "_+x"},
        {"-x", "_-x"},
        {"x+-9", "x+-9"},
        {" lead", "_lead"},
        {".hidden", "_hidden"},
        {"Träger_€", "Träger_€"},
        {"a(1)!$%&*/:;<=>?@^`|~", "a(1)!$%&*/:;<=>?@^`|~"},
        {"", "_"},
    };
    for (const auto& [name, fit] : cases) EXPECT_EQ(host::io::vrmlPartName(name), fit) << name;
}

TEST(GmshPartNames, TellsApartGroupsOfOneNameByDimensionThenNumber) {
    const std::vector<GroupName> groups{
        {"Steel", 2}, {"Steel", 3}, {"Skin", 2}, {"Skin", 2}, {"Skin", 2}, {"Wire", 1}, {"Glue line", 1}};
    const std::vector<PartName> expected{
        {"Steel_(2D)", "Steel (2D)"}, {"Steel_(3D)", "Steel (3D)"}, {"Skin", ""},
        {"Skin_(2)", "Skin (2)"}, {"Skin_(3)", "Skin (3)"}, {"Wire", ""}, {"Glue_line", "Glue line"}};
    const std::vector<PartName> names = host::io::scenePartNames(groups);
    ASSERT_EQ(names.size(), expected.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i].name, expected[i].name) << i;
        EXPECT_EQ(names[i].sourceName, expected[i].sourceName) << i;
    }
}

}  // namespace
