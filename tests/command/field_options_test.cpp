// --displacement and --failed: which field moves the nodes and which fails elements, as info
// reports it and as the exported scene shows it.
#include "command_run.h"
#include "model_file.h"

#include <gmsh.h>
#include <gtest/gtest.h>

namespace {

struct FieldOptionCase {
    const char* name;
    std::vector<std::string> options;
    int status;
    const char* said;  // by info, on stdout or stderr
    float dx, dy;      // how far the last frame moves the nodes
    int faces;         // drawn at the last frame
};
void PrintTo(const FieldOptionCase& c, std::ostream* out) { *out << c.name; }
class FieldOptions : public command_test::CommandTest, public ::testing::WithParamInterface<FieldOptionCase> {};

// Two quadrilaterals over two steps: "Displacement" moves the nodes 0.25 along y, "Shift" 0.5
// along x; "Broken" fails the first at the second step, "Cracked" the second at the first only.
TEST_P(FieldOptions, ChooseTheFieldsRoles) {
    const FieldOptionCase& c = GetParam();
    model_file::start();
    const int plate = gmsh::model::addDiscreteEntity(2);
    model_file::addNodes(2, plate, {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, 2, 1, 0});
    model_file::addElements(2, 3, {1, 2, 5, 4, 2, 3, 6, 5}, plate);
    for (const auto& [name, x, y] : {std::tuple{"Displacement", 0.0, 0.25}, {"Shift", 0.5, 0.0}})
        model_file::view(name, "NodeData", {0, 1}, 6, [x, y](std::size_t, int) { return std::vector<double>{x, y, 0}; });
    for (const auto& [name, element, step] : {std::tuple{"Broken", 1u, 1}, {"Cracked", 2u, 0}})
        model_file::view(name, "ElementData", {0, 1}, 2, [=](std::size_t e, int s) { return std::vector<double>{e == element && s == step ? 1.0 : 0.0}; });
    const std::string model = model_file::write(dir / "quads.msh").string();

    std::vector<std::string> info{"info", model};
    info.insert(info.end(), c.options.begin(), c.options.end());
    const command_test::CommandResult said = command_test::runSceneport(info);
    EXPECT_EQ(said.status, c.status) << said.err;
    EXPECT_NE((said.out + said.err).find(c.said), std::string::npos) << said.out << said.err;
    if (c.status != 0) return;
    const auto scene = [&](const std::string& name, std::vector<std::string> options) {
        options.insert(options.begin(), {"export", model, "-q", "--keep-coordinates", "--no-contours", "-o", path(name)});
        EXPECT_EQ(command_test::runSceneport(options).status, 0);
        return testing_support::readFile(dir / name);
    };
    const std::vector<float> still = command_test::numbersAfter(scene("still.wrl", {"--displacement", "none"}), "DEF global_coords");
    const std::string moved = scene("moved.wrl", c.options);
    const std::vector<float> points = command_test::numbersAfter(moved, "DEF global_coords");
    ASSERT_EQ(points.size(), still.size());
    for (std::size_t k = 0; k < still.size(); ++k) EXPECT_FLOAT_EQ(points[k] - still[k], k % 3 == 0 ? c.dx : k % 3 == 1 ? c.dy : 0.0f) << k;
    EXPECT_EQ(testing_support::occurrences(moved, ", -1"), c.faces);
}

INSTANTIATE_TEST_SUITE_P(Command, FieldOptions, ::testing::Values(
    FieldOptionCase{"ByItsName", {}, 0, "\nDeformed by: \"Displacement\", 3 components per node\n", 0, 0.25f, 2},
    FieldOptionCase{"Named", {"--displacement", "shift"}, 0, "\n  Displacement  per node     3 components\n", 0.5f, 0, 2},
    FieldOptionCase{"None", {"--displacement=none"}, 0, "\nDeformed by: no field (name one with --displacement FIELD)\n", 0, 0, 2},
    FieldOptionCase{"Failed", {"--failed", "Broken"}, 0, "\nFailures from: \"Broken\", non-zero per element; an element "
                    "stays failed from its first failed frame on\n", 0, 0.25f, 1},
    FieldOptionCase{"FailedThenNot", {"--failed", "Cracked"}, 0, "\n  view \"Cracked\" returns to 0 at 1 element after "
                    "failing it; the host keeps an element failed from its first failed frame on\n", 0, 0.25f, 1},
    FieldOptionCase{"Unknown", {"--displacement", "Nope"}, 2, " has no vector field per node \"Nope\" (fields: \"Displacement\" (3 "
                    "components per node), \"Shift\" (3 components per node), \"Broken\" (1 component per element), \"Cracked\" "
                    "(1 component per element))\n", 0, 0, 0},
    FieldOptionCase{"FailedAtNodes", {"--failed", "Shift"}, 2, " has no field per element \"Shift\" (fields: ", 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
