// What the reader hands over in place of numbers that are not finite, and what it says.
#include "io/gmsh_finite_values.h"
#include "io/gmsh_view_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using host::io::GmshMesh;
using host::io::GmshResults;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Three Gmsh nodes; the part uses nodes 0 and 2 only, node 1 is nobody's.
GmshMesh threeNodes(std::vector<double> coordinates) {
    GmshMesh mesh;
    mesh.nodeTags = {1, 2, 3};
    mesh.coordinates = std::move(coordinates);
    mesh.parts.emplace_back().nodes = {0, 2};
    return mesh;
}

TEST(FiniteValues, Coordinates) {
    GmshMesh mesh = threeNodes({1, kNaN, 4,   kNaN, kNaN, kNaN,   3, 1e31, -kInf});
    host::io::ReadNotes notes;
    host::io::replaceNonFiniteCoordinates(mesh, notes);
    ASSERT_EQ(mesh.coordinates.size(), 9u);
    const std::vector<double> expected{1, 0, 4, 3, 0, 4};
    for (const std::size_t i : {0u, 1u, 2u, 6u, 7u, 8u})
        EXPECT_EQ(mesh.coordinates[i], expected[i < 3 ? i : i - 3]) << i << ": y has no finite value, so 0";
    EXPECT_TRUE(std::isnan(mesh.coordinates[3])) << "a node no part uses is left alone";
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "2 nodes have coordinates that are not finite or beyond ±1e30, the largest a scene holds; "
                               "each such coordinate is the mean of the other nodes' on its axis instead"}));

    host::io::ReadNotes none;
    GmshMesh intact = threeNodes({0, 0, 0, 1, 1, 1, 1e30, -1e30, 2});
    host::io::replaceNonFiniteCoordinates(intact, none);
    EXPECT_TRUE(none.lines.empty()) << "1e30 itself is held";
}

TEST(FiniteValues, FieldValues) {
    GmshMesh mesh = threeNodes({0, 0, 0, 0, 0, 0, 0, 0, 0});
    GmshResults results;
    results.times = {0.0f, 1.0f, 2.0f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    results.fields.push_back({"T", host::ValueLocation::Node,
                              {{2.0f, kInf, -kInf, nan, 5.0f}, {nan, nan}, {7.0f, 8.0f}}, nullptr});
    results.fields.push_back({"Void", host::ValueLocation::Element, {{nan, kInf}}, nullptr});
    host::io::ReadNotes notes;
    host::io::replaceNonFiniteResults(mesh, results, notes);
    EXPECT_EQ(results.fields[0].frames, (std::vector<std::vector<float>>{{2, 5, 2, 2, 5}, {2, 2}, {7, 8}}))
        << "a frame without finite values takes the field's range over all frames";
    EXPECT_EQ(results.fields[1].frames, (std::vector<std::vector<float>>{{0, 0}})) << "a field without any: 0";
    const std::string why = " not finite (NaN, infinite or beyond a float's range); a positive one stands as the largest "
                            "finite value of its frame, a negative one or NaN as the smallest";
    EXPECT_EQ(notes.lines, (std::vector<std::string>{"field \"T\": 5 values in 2 frames are" + why,
                                                      "field \"Void\": 2 values in 1 frame are" + why}));
}

TEST(FiniteValues, PositionsAndTimes) {
    GmshMesh mesh = threeNodes({1, 2, 3, 0, 0, 0, 4, 5, 6});
    GmshResults results;
    results.times = {kInf, 0.5f, std::numeric_limits<float>::quiet_NaN()};
    results.frameCoordinates = {{1, 2, 3, 4, 5, 6}, {1, kInf, 3, 4, 5, 2e30f}, {1, 2, 3, 4, 5, 6}};
    host::io::ReadNotes notes;
    host::io::replaceNonFiniteResults(mesh, results, notes);
    EXPECT_EQ(results.times, (std::vector<float>{0.0f, 0.5f, 0.5f}));
    EXPECT_EQ(results.frameCoordinates[1], (std::vector<float>{1, 2, 3, 4, 5, 6})) << "the whole node goes back";
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "2 frame times are not finite (NaN, infinite or beyond a float's range); each is the "
                               "time of the frame before instead (0 for the first)",
                               "2 node positions in 1 frame are not finite or beyond ±1e30, the largest a scene holds; "
                               "those nodes stay at their reference position there"}));
}

TEST(FiniteValues, DoublesBeyondAFloat) {
    EXPECT_EQ(host::io::toFloat(1e300), kInf);
    EXPECT_EQ(host::io::toFloat(-1e39), -kInf);
    EXPECT_EQ(host::io::toFloat(3e38), 3e38f);
}

}  // namespace
