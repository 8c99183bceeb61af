// Every row of the Gmsh element table, proven on Gmsh's own reference element.
#include "io/gmsh_element_types.h"
#include "io/gmsh_session.h"
#include "element_shape.h"
#include "model_file.h"

#include <gtest/gtest.h>

namespace host::io {
void PrintTo(const GmshElementType& row, std::ostream* out) { *out << "Gmsh type " << row.gmshType; }
}  // namespace host::io

namespace {

using host::io::GmshElementType;

class ElementRow : public ::testing::TestWithParam<GmshElementType> {};

TEST_P(ElementRow, DrawsTheElementsFaces) {
    host::io::startGmsh();
    const GmshElementType& row = GetParam();
    const model_file::ReferenceElement reference = model_file::referenceElement(row.gmshType);
    ASSERT_EQ(static_cast<int>(reference.nodes.size()), row.gmshNodes) << reference.name;
    element_shape::expectHostShape(reference.name, row.hostType, [&](int k) { return reference.nodes[row.gmshPosition[k]]; },
                                   {reference.nodes.begin(), reference.nodes.begin() + reference.corners});
}

INSTANTIATE_TEST_SUITE_P(Gmsh, ElementRow, ::testing::ValuesIn(host::io::kGmshElementTypes),
                         [](const auto& info) { return "Type" + std::to_string(info.param.gmshType); });

}  // namespace
