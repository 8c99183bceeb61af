// --displacement and --failed: which field moves the nodes and which fails elements, as info
// reports it and as the exported scene shows it.
#include "command_run.h"
#include "model_file.h"

#include <gmsh.h>
#include <gtest/gtest.h>

namespace {

using command_test::numbersAfter;
using command_test::runSceneport;

struct FieldOptionCase {
    const char* name;
    std::vector<std::string> options;
    int status;
    const char* said;    // in info's output (or error), whole lines
    float dx, dy;        // how far the last frame's nodes lie from the file's
    int faces;           // drawn at the last frame
};
void PrintTo(const FieldOptionCase& c, std::ostream* out) { *out << c.name; }

class FieldOptions : public command_test::CommandTest, public ::testing::WithParamInterface<FieldOptionCase> {};

// Two quadrilaterals over two steps. "Displacement" moves the nodes 0.25 along y, "Shift" 0.5
// along x; "Broken" fails the first element at the second step, "Cracked" flags the second at the
// first step only.
std::filesystem::path twoQuads(const std::filesystem::path& file) {
    model_file::start();
    const int plate = gmsh::model::addDiscreteEntity(2);
    model_file::addNodes(2, plate, {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, 2, 1, 0});
    model_file::addElements(2, 3, {1, 2, 5, 4, 2, 3, 6, 5}, plate);
    const auto vector = [](double x, double y) { return [=](std::size_t, int) { return std::vector<double>{x, y, 0}; }; };
    model_file::view("Displacement", "NodeData", {0, 1}, 6, vector(0, 0.25));
    model_file::view("Shift", "NodeData", {0, 1}, 6, vector(0.5, 0));
    model_file::view("Broken", "ElementData", {0, 1}, 2, [](std::size_t e, int step) { return std::vector<double>{e == 1 && step == 1 ? 1.0 : 0.0}; });
    model_file::view("Cracked", "ElementData", {0, 1}, 2, [](std::size_t e, int step) { return std::vector<double>{e == 2 && step == 0 ? 1.0 : 0.0}; });
    return model_file::write(file);
}

TEST_P(FieldOptions, ChooseTheFieldsRoles) {
    const FieldOptionCase& c = GetParam();
    const std::string model = twoQuads(dir / "quads.msh").string();
    std::vector<std::string> info{"info", model};
    info.insert(info.end(), c.options.begin(), c.options.end());
    const command_test::CommandResult said = runSceneport(info);
    EXPECT_EQ(said.status, c.status) << said.err;
    EXPECT_NE((said.out + said.err).find(c.said), std::string::npos) << said.out << said.err;
    if (c.status != 0) return;

    const auto lastFramePoints = [&](const std::string& name, std::vector<std::string> options) {
        options.insert(options.begin(), {"export", model, "-q", "--keep-coordinates", "--no-contours", "-o", path(name)});
        EXPECT_EQ(runSceneport(options).status, 0);
        return testing_support::readFile(dir / name);
    };
    const std::vector<float> still = numbersAfter(lastFramePoints("still.wrl", {"--displacement", "none"}), "DEF global_coords");
    const std::string scene = lastFramePoints("moved.wrl", c.options);
    const std::vector<float> moved = numbersAfter(scene, "DEF global_coords");
    ASSERT_EQ(moved.size(), still.size());
    ASSERT_FALSE(still.empty());
    for (std::size_t k = 0; k < still.size(); ++k)
        EXPECT_FLOAT_EQ(moved[k] - still[k], k % 3 == 0 ? c.dx : k % 3 == 1 ? c.dy : 0.0f) << "coordinate " << k;
    EXPECT_EQ(testing_support::occurrences(scene, ", -1"), c.faces);
}

INSTANTIATE_TEST_SUITE_P(
    Command, FieldOptions,
    ::testing::Values(
        FieldOptionCase{"ByItsName", {}, 0, "\nDeformed by: \"Displacement\", 3 components per node\n", 0, 0.25f, 2},
        FieldOptionCase{"Named", {"--displacement", "shift"}, 0, "\n  Displacement  per node     3 components\n", 0.5f, 0, 2},
        FieldOptionCase{"None", {"--displacement=none"}, 0, "\nDeformed by: no field (name one with --displacement FIELD)\n", 0, 0, 2},
        FieldOptionCase{"Failed", {"--failed", "Broken"}, 0,
                        "\nFailures from: \"Broken\", non-zero per element; an element stays failed from its first failed "
                        "frame on\n", 0, 0.25f, 1},
        FieldOptionCase{"FailedThenNot", {"--failed", "Cracked"}, 0,
                        "\n  view \"Cracked\" returns to 0 at 1 element after failing it; the host keeps an element failed "
                        "from its first failed frame on\n", 0, 0.25f, 1},
        FieldOptionCase{"UnknownDisplacement", {"--displacement", "Nope"}, 2,
                        " has no vector field per node \"Nope\" (fields: \"Displacement\" (3 components per node), "
                        "\"Shift\" (3 components per node), \"Broken\" (1 component per element), \"Cracked\" (1 "
                        "component per element))\n", 0, 0, 0},
        FieldOptionCase{"FailedAtNodes", {"--failed", "Shift"}, 2,
                        " has no field per element \"Shift\" (fields: \"Displacement\" (3 components per node), \"Shift\" "
                        "(3 components per node), \"Broken\" (1 component per element), \"Cracked\" (1 component per "
                        "element))\n", 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
