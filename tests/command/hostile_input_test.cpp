// The command against hostile input: model files cut short, random bytes, models without
// usable elements, views that do not fit the mesh, numbers that are not finite, part names that
// mean something in VRML, and files Gmsh crashes or runs away on. Every case ends either with a
// clear error that names the file and what is wrong, or with complete scenes that hold only
// finite numbers; never with a crash, a hang or a file cut short. The scenes are kept for the
// independent readers.
#include "command_run.h"
#include "hostile_corpus.h"
#include "hostile_models.h"
#include "model_files.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace {

using command_test::CommandResult;
using command_test::runSceneport;
using hostile_corpus::expectCompleteAndFinite;

class HostileInput : public command_test::CommandTest {
protected:
    void TearDown() override {
        for (const auto& scene : hostile_corpus::scenesIn(dir.path())) expectCompleteAndFinite(scene);
        CommandTest::TearDown();
    }

    // Exports every frame of `model` to `output` (a name in the test's directory).
    CommandResult exportAll(const std::string& model, const std::string& output, std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"export", "-q", "--all-frames", model, "-o", path(output)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return runSceneport(arguments);
    }

    testing_support::TempDir scratch;  // Gmsh's files while it writes a model in another form
};

// A read that fails: status 1, and one line on stderr that names the file and says what is wrong.
void expectRefused(const CommandResult& result, const std::string& model, const std::string& why) {
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string start = "sceneport: " + model + ": ";
    EXPECT_EQ(result.err.rfind(start, 0), 0u) << result.err;
    EXPECT_NE(result.err.find(why, start.size()), std::string::npos) << "stderr: " << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

bool hasLine(const std::string& text, const std::string& line) { return text.find(line + "\n") != std::string::npos; }

// Whether `prefix` of `whole` ends right after a whole "$End..." line: only such a cut leaves a
// file that is whole as far as it goes.
bool endsAtASectionEnd(std::string_view prefix, std::string_view whole) {
    while (prefix.ends_with('\n')) prefix.remove_suffix(1);
    const std::size_t lineStart = prefix.rfind('\n');
    const bool lineEnds = prefix.size() == whole.size() || whole[prefix.size()] == '\n';
    return lineStart != std::string_view::npos && prefix.substr(lineStart + 1).starts_with("$End") && lineEnds;
}

class TruncatedModels : public HostileInput, public ::testing::WithParamInterface<msh_files::MshFormat> {};

TEST_P(TruncatedModels, EveryTenthOfEachModelIsAClearErrorOrCompleteScenes) {
    const std::pair<std::string, std::string_view> models[]{{"plate", command_test::kPlateAndRod},
                                                            {"points", command_test::kPointsOnly}};
    int cutShort = 0;
    for (const auto& [name, text] : models) {
        const std::string whole = hostile_corpus::inMshFormat(text, GetParam(), scratch.path());
        for (std::size_t tenth = 1; tenth < 10; ++tenth) {
            const std::string prefix = whole.substr(0, whole.size() * tenth / 10);
            const std::string stem = name + "-" + std::to_string(tenth);
            const std::string model = write(stem + ".msh", prefix);
            SCOPED_TRACE(model);
            const CommandResult result = exportAll(model, stem + ".wrl");
            if (endsAtASectionEnd(prefix, whole)) {
                EXPECT_EQ(result.signal, 0);
                EXPECT_TRUE(result.status == 0 || result.status == 1 || result.status == 3) << result.err;
                continue;
            }
            expectRefused(result, model, "is cut short or damaged");
            ++cutShort;
        }
    }
    EXPECT_GE(cutShort, 16) << "nearly every cut falls inside a section";
}

INSTANTIATE_TEST_SUITE_P(EveryMshForm, TruncatedModels, ::testing::ValuesIn(msh_files::kMshFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileInput, EmptyFilesRandomBytesAndFilesWithoutElementsAreRefusedByName) {
    expectRefused(exportAll(write("empty.msh", ""), "x.wrl"), path("empty.msh"), "is empty");
    expectRefused(exportAll(write("empty.unv", ""), "x.wrl"), path("empty.unv"), "is empty");
    expectRefused(exportAll(write("random.msh", hostile_corpus::randomBytes(4096, 1)), "x.wrl"), path("random.msh"),
                  "not a mesh file");
    const std::string damaged = "$MeshFormat\n" + hostile_corpus::randomBytes(4096, 2) + "\n$EndMeshFormat\n";
    expectRefused(exportAll(write("random-inside.msh", damaged), "x.wrl"), path("random-inside.msh"),
                  "Gmsh cannot read it: ");
    expectRefused(exportAll(write("nodes-only.msh", hostile_models::kNodesOnly), "x.wrl"), path("nodes-only.msh"),
                  "holds no elements");
    expectRefused(exportAll(write("missing-node.msh", hostile_models::kMissingNode), "x.wrl"), path("missing-node.msh"),
                  "Gmsh cannot read it: Wrong node index 99");
    // Formats Gmsh tells by their extension get random bytes through to Gmsh.
    for (const char* name : {"random.unv", "random.vtk", "random.stl", "random.mesh"}) {
        const std::string model = write(name, hostile_corpus::randomBytes(4096, 3));
        SCOPED_TRACE(model);
        const CommandResult result = exportAll(model, "x.wrl");
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_NE(result.err.find(model), std::string::npos) << result.err;
    }
    EXPECT_TRUE(hostile_corpus::scenesIn(dir.path()).empty()) << "a model that cannot be read writes nothing";
}

TEST_F(HostileInput, AOneNodeModelIsAScene) {
    const CommandResult result = exportAll(write("one-node.msh", hostile_models::kOneNode), "one-node.wrl");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "one-node1.wrl"));
}

TEST_F(HostileInput, ViewsThatDoNotFitTheMeshGiveZerosWhereTheyLackValuesOrAreRefused) {
    expectRefused(exportAll(write("short-view.msh", hostile_models::kShortView), "x.wrl"), path("short-view.msh"),
                  "Gmsh cannot read it: ");

    const std::string model = write("mismatched.msh", hostile_models::kMismatchedViews);
    const std::string shown = "sceneport: " + model + ": ";
    for (const char* field : {"Excess", "Excess per element", "Left", "Left per element"}) {
        SCOPED_TRACE(field);
        const std::string stem = std::string("mismatched-") + (std::strchr(field, ' ') ? "e" : "n") + field[0];
        const CommandResult result = exportAll(model, stem + ".wrl", {"--contour", field});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(hasLine(result.err, shown + "view \"Excess\" gives no value at 7 nodes; 0 stands there")) << result.err;
        EXPECT_TRUE(hasLine(result.err, shown + "view \"Excess per element\" gives no value at 1 element; 0 stands there"))
            << result.err;
        EXPECT_TRUE(hasLine(result.err, shown + "view \"Left\" gives no value at 2 nodes; 0 stands there")) << result.err;
        EXPECT_TRUE(hasLine(result.err, shown + "view \"Left per element\" gives no value at 1 element; 0 stands there"))
            << result.err;
    }
}

class NonFiniteNumbers : public HostileInput, public ::testing::WithParamInterface<msh_files::MshFormat> {};

TEST_P(NonFiniteNumbers, AreReplacedCountedOnceAndNeverWritten) {
    const std::string model =
        write("non-finite.msh", hostile_corpus::inMshFormat(hostile_models::kNonFinite, GetParam(), scratch.path()));
    for (const char* field : {"Temperature", "Stress"}) {
        const CommandResult result = exportAll(model, std::string("non-finite-") + field + ".wrl", {"--contour", field});
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string shown = "sceneport: " + model + ": ";
        const std::string notFinite = " not finite (NaN, infinite or beyond a float's range); ";
        const std::string notPlaceable = " not finite or beyond ±1e30, the largest a scene holds; ";
        for (const std::string& note : {
                 "3 nodes have coordinates that are" + notPlaceable + "each such coordinate is the mean of the other "
                 "nodes' on its axis instead",
                 "1 frame time is" + notFinite + "each is the time of the frame before instead (0 for the first)",
                 "2 node positions in 1 frame are" + notPlaceable + "those nodes stay at their reference position there",
                 "field \"Temperature\": 10 values in 2 frames are" + notFinite + "a positive one stands as the largest "
                 "finite value of its frame, a negative one or NaN as the smallest",
                 "field \"Stress\": 2 values in 2 frames are" + notFinite + "a positive one stands as the largest "
                 "finite value of its frame, a negative one or NaN as the smallest"})
            EXPECT_EQ(testing_support::occurrences(result.err, shown + note + "\n"), 1) << result.err;
    }
    EXPECT_EQ(hostile_corpus::scenesIn(dir.path()).size(), 4u) << "two frames for each field";
}

INSTANTIATE_TEST_SUITE_P(EveryMshForm, NonFiniteNumbers, ::testing::ValuesIn(msh_files::kMshFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileInput, CoordinatesTooLargeForAScenesSumsAreReplacedAndAScaleThatMakesThemIsRefused) {
    const std::string huge = write("huge.msh", hostile_models::kHugeCoordinates);
    const CommandResult result = exportAll(huge, "huge.wrl");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(huge + ": 4 nodes have coordinates that are not finite or beyond ±1e30"), std::string::npos)
        << result.err;

    const std::string far = write("far.msh", hostile_models::kFarDisplacement);
    EXPECT_EQ(exportAll(far, "far.wrl").status, 0);
    const CommandResult scaled = exportAll(far, "far-scaled.wrl", {"--scale", "100"});
    EXPECT_EQ(scaled.status, 2);
    EXPECT_TRUE(hasLine(scaled.err, "sceneport: --scale: at 100 the deformed model reaches beyond ±1e30, the largest "
                                    "coordinate a scene holds (frame 1)")) << scaled.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "far-scaled1.wrl"));
}

// An MSH file of one triangle per physical group, named as given.
std::string groupsNamed(const std::vector<std::string>& names) {
    std::string physical, nodes, elements;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string group = std::to_string(i + 1);
        physical += "2 " + group + " \"" + names[i] + "\"\n";
        for (std::size_t corner = 0; corner < 3; ++corner)
            nodes += std::to_string(3 * i + corner + 1) + " " + std::to_string(i + (corner == 1)) + " " +
                     std::to_string(corner == 2) + " 0\n";
        elements += group + " 2 2 " + group + " " + group + " " + std::to_string(3 * i + 1) + " " +
                    std::to_string(3 * i + 2) + " " + std::to_string(3 * i + 3) + "\n";
    }
    return "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$PhysicalNames\n" + std::to_string(names.size()) + "\n" + physical +
           "$EndPhysicalNames\n$Nodes\n" + std::to_string(3 * names.size()) + "\n" + nodes + "$EndNodes\n$Elements\n" +
           std::to_string(names.size()) + "\n" + elements + "$EndElements\n";
}

TEST_F(HostileInput, PartNamesBecomeUniqueNodeNamesWhateverTheyHold) {
    const std::string longName(10'000, 'L');
    const std::vector<std::string> names{
        "a{b}", "c[d]", "h#ash", "back\\slash", "it's", "with blank", "7up", "Träger", "global_coords",
        "Global_model", "a b", "a_b", "Twin", "Twin", longName};
    const std::string model = write("names.msh", groupsNamed(names));
    const CommandResult result = exportAll(model, "names.wrl");
    ASSERT_EQ(result.status, 0) << result.err;

    const std::vector<std::string> defined = hostile_corpus::partTransformNames(testing_support::readFile(dir / "names1.wrl"));
    EXPECT_EQ(std::set<std::string>(defined.begin(), defined.end()).size(), defined.size()) << "every node name once";
    for (const char* name : {"a_b_", "c_d_", "h_ash", "back_slash", "it_s", "with_blank", "_7up", "Träger",
                                    "global_coords_(2)", "Global_model_(2)", "a_b", "a_b_(2)", "Twin"})
        EXPECT_NE(std::find(defined.begin(), defined.end(), name), defined.end()) << name;
    // Gmsh keeps a physical name for one group only, and cuts very long names short.
    EXPECT_NE(std::find(defined.begin(), defined.end(), "Physical_2_14"), defined.end());
    EXPECT_TRUE(std::any_of(defined.begin(), defined.end(), [](const std::string& n) { return n.starts_with("LLLL"); }));
    // No part takes a name the writer gives a node of its own: each part's name is defined once.
    const std::string scene = testing_support::readFile(dir / "names1.wrl");
    for (const std::string& name : defined) EXPECT_EQ(testing_support::occurrences(scene, "DEF " + name + " "), 1) << name;
    EXPECT_NE(result.err.find("part \"global_coords\" is named \"global_coords_(2)\" in scenes"), std::string::npos);
    EXPECT_NE(result.err.find("part \"a_b\" is named \"a_b_(2)\" in scenes"), std::string::npos);

    // A part answers to its name in scenes and to the name in the file.
    EXPECT_EQ(exportAll(model, "chosen.wrl", {"--parts", "a_b_(2),7up"}).status, 0);
    const std::vector<std::string> chosen = hostile_corpus::partTransformNames(testing_support::readFile(dir / "chosen1.wrl"));
    EXPECT_EQ(chosen, (std::vector<std::string>{"_7up", "a_b_(2)"}));
}

TEST_F(HostileInput, AGmshCrashIsReportedWithTheFileAndLeavesNoScene) {
    const std::string model = write("group-of-missing-element.unv", hostile_models::kUnvGroupOfMissingElement);
    command_test::RunSettings crashing;
    crashing.crashesAsSignals = true;
    const CommandResult result = runSceneport({"export", "-q", "--all-frames", model, "-o", path("crash.wrl")}, crashing);
    EXPECT_EQ(result.signal, 0) << "the crash stays inside the command";
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("sceneport: Gmsh crashed reading " + model + " (segmentation fault)"))
        << result.err;
    EXPECT_TRUE(hostile_corpus::scenesIn(dir.path()).empty());
}

// MSH 4's binary element blocks each start with their entity's dimension and tag, the element
// type (three ints) and the number of elements in the block (a size_t).
std::string withFirstElementBlockCount(std::string msh4Binary, std::uint64_t count) {
    const std::size_t section = msh4Binary.find("$Elements\n") + std::strlen("$Elements\n");
    const std::size_t countAt = section + 4 * sizeof(std::uint64_t) + 3 * sizeof(std::int32_t);
    msh4Binary.replace(countAt, sizeof count, reinterpret_cast<const char*>(&count), sizeof count);
    return msh4Binary;
}

TEST_F(HostileInput, AReadThatRunsAwayIsStoppedAndNamed) {
    const std::string intact =
        hostile_corpus::inMshFormat(command_test::kPlateAndRod, msh_files::kMshFormats[3], scratch.path());
    const std::string model = write("runaway.msh", withFirstElementBlockCount(intact, 999'999'999));
    const CommandResult result = exportAll(model, "runaway.wrl");
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("sceneport: " + model + ": stopped reading it: Gmsh took more than ", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("of memory for a file of " + std::to_string(intact.size()) + " bytes"), std::string::npos)
        << result.err;
    EXPECT_TRUE(hostile_corpus::scenesIn(dir.path()).empty());
}

}  // namespace
