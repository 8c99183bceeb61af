// What the reader hands over in place of numbers that are not finite (the notes' wording is the
// command's tests' to check).
#include "io/gmsh_finite_values.h"
#include "io/gmsh_view_data.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kInf = INFINITY, kNaN = NAN;

// Three Gmsh nodes; the part uses nodes 0 and 2 only, node 1 is nobody's.
host::io::GmshMesh threeNodes(std::vector<double> coordinates) {
    host::io::GmshMesh mesh;
    mesh.nodeTags = {1, 2, 3};
    mesh.coordinates = std::move(coordinates);
    mesh.parts.emplace_back().nodes = {0, 2};
    return mesh;
}

TEST(FiniteValues, Coordinates) {
    // A coordinate not finite or beyond ±1e30 takes the mean of the other nodes' on its axis (y
    // has none: 0); 1e30 itself is held, and a node no part uses is left alone.
    const std::pair<std::vector<double>, std::vector<double>> cases[] = {
        {{1, kNaN, 4, kNaN, kNaN, kNaN, 3, 1e31, -kInf}, {1, 0, 4, kNaN, kNaN, kNaN, 3, 0, 4}},
        {{0, 0, 0, 1, 1, 1, 1e30, -1e30, 2}, {0, 0, 0, 1, 1, 1, 1e30, -1e30, 2}}};
    for (const auto& [given, expected] : cases) {
        host::io::GmshMesh mesh = threeNodes(given);
        host::io::ReadNotes notes;
        host::io::replaceNonFiniteCoordinates(mesh, notes);
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(mesh.coordinates[i] == expected[i] || (std::isnan(mesh.coordinates[i]) && std::isnan(expected[i]))) << i;
        EXPECT_EQ(notes.lines.size(), given == expected ? 0u : 1u);
    }
}

TEST(FiniteValues, Results) {
    host::io::GmshMesh mesh = threeNodes({1, 2, 3, 0, 0, 0, 4, 5, 6});
    host::io::GmshResults results;
    results.times = {kInf, 0.5f, kNaN};
    results.frameCoordinates = {{1, 2, 3, 4, 5, 6}, {1, kInf, 3, 4, 5, 2e30f}, {1, 2, 3, 4, 5, 6}};
    // A value takes the end of its frame's finite range; a frame without any, the field's; a field without any, 0.
    results.fields.push_back({"T", host::ValueLocation::Node, {{2.0f, kInf, -kInf, kNaN, 5.0f}, {kNaN, kNaN}, {7.0f, 8.0f}}, nullptr});
    results.fields.push_back({"Void", host::ValueLocation::Element, {{kNaN, kInf}}, nullptr});
    host::io::ReadNotes notes;
    host::io::replaceNonFiniteResults(mesh, results, notes);
    EXPECT_EQ(results.times, (std::vector<float>{0.0f, 0.5f, 0.5f})) << "the time of the frame before";
    EXPECT_EQ(results.frameCoordinates[1], (std::vector<float>{1, 2, 3, 4, 5, 6})) << "the whole node back at its reference";
    EXPECT_EQ(results.fields[0].frames, (std::vector<std::vector<float>>{{2, 5, 2, 2, 5}, {2, 2}, {7, 8}}));
    EXPECT_EQ(results.fields[1].frames, (std::vector<std::vector<float>>{{0, 0}}));
    EXPECT_EQ(notes.lines.size(), 4u);
    EXPECT_EQ(host::io::toFloat(1e300), kInf);
    EXPECT_EQ(host::io::toFloat(-1e39), -kInf);
    EXPECT_EQ(host::io::toFloat(3e38), 3e38f);
}

}  // namespace
