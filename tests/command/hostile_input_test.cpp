// The command against hostile input: files cut short, random bytes, models without usable
// elements, numbers that are not finite, part names that mean something in VRML, and files Gmsh
// crashes or runs away on. Every case ends with a clear error that names the file, or with
// complete scenes of finite numbers; never with a crash, a hang or a file cut short.
#include "command_run.h"
#include "model_file.h"

#include <gmsh.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <regex>
#include <set>

namespace {

using command_test::CommandResult;

constexpr double kInf = INFINITY, kNaN = NAN;

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

class Hostile : public command_test::CommandTest {
protected:
    // Every scene left must be complete and hold no number that is not finite.
    void TearDown() override {
        static const std::regex notFinite(R"((^|[\s\[,])[-+]?(nan|inf(inity)?)(?=$|[\s\],]))", std::regex::icase | std::regex::multiline);
        for (const auto& scene : scenes()) {
            const std::string text = testing_support::readFile(scene);
            EXPECT_TRUE(text.ends_with("\nROUTE prox.orientation_changed TO Spectrum.rotation")) << scene << " is not complete";
            std::smatch found;
            EXPECT_FALSE(std::regex_search(text, found, notFinite)) << scene << " holds \"" << found.str() << "\"";
        }
        CommandTest::TearDown();
    }
    CommandResult exportAll(const std::string& model, const std::string& output, std::vector<std::string> more = {}) {
        more.insert(more.begin(), {"export", "--all-frames", model, "-o", path(output)});
        return command_test::runSceneport(more);
    }
    // A refused read: status 1 and one line on stderr that names the file and says why.
    void expectRefused(const CommandResult& result, const std::string& model, const std::string& why) {
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_TRUE(result.err.starts_with("sceneport: " + model + ": ")) << result.err;
        EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
};

class Truncated : public Hostile, public ::testing::WithParamInterface<model_file::Format> {};

// Cut at every tenth: a clear error, or (cut right after a section's end) whatever the part read holds.
TEST_P(Truncated, ErrorOrScenes) {
    const std::string whole = testing_support::readFile(model_file::plateAndRod(dir / "whole.msh", GetParam()));
    int refused = 0;
    for (std::size_t tenth = 1; tenth < 10; ++tenth) {
        const std::string prefix = whole.substr(0, whole.size() * tenth / 10), stem = "cut-" + std::to_string(tenth);
        const std::string model = write(stem + ".msh", prefix);
        const CommandResult result = exportAll(model, stem + ".wrl");
        std::string_view kept = prefix;
        while (kept.ends_with('\n')) kept.remove_suffix(1);
        const bool atSectionEnd = kept.substr(kept.rfind('\n') + 1).starts_with("$End") && whole[kept.size()] == '\n';
        if (atSectionEnd) {
            EXPECT_TRUE(result.signal == 0 && (result.status == 0 || result.status == 1 || result.status == 3)) << result.err;
            continue;
        }
        expectRefused(result, model, "is cut short or damaged");
        ++refused;
    }
    EXPECT_GE(refused, 7) << "nearly every cut falls inside a section";
}

INSTANTIATE_TEST_SUITE_P(Msh, Truncated, ::testing::ValuesIn(model_file::kFormats), [](const auto& info) { return std::string(info.param.name); });

TEST_F(Hostile, UnreadableFilesAreRefusedByName) {
    // More that the reader refuses, by its own check or by Gmsh's: tests/io/reader_test.cpp.
    const std::pair<std::string, std::string> cases[] = {
        {write("empty.msh", ""), "is empty"},
        {write("empty.unv", ""), "is empty"},
        {write("random.msh", randomBytes(4096, 1)), "starts like no format Sceneport reads"},
        {write("missing-node.msh", "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n3\n1 0 0 0\n2 1 0 0\n3 1 1 0\n$EndNodes\n"
                                   "$Elements\n1\n1 3 2 1 1 1 2 3 99\n$EndElements\n"), "Gmsh cannot read it: Wrong node index 99"},
        // A view that promises 4 node values but gives 2.
        {write("short-view.msh", "$MeshFormat\n2.2 0 8\n$EndMeshFormat\n$Nodes\n4\n1 0 0 0\n2 1 0 0\n3 1 1 0\n4 0 1 0\n$EndNodes\n"
                                 "$Elements\n1\n1 3 2 1 1 1 2 3 4\n$EndElements\n$NodeData\n1\n\"Short\"\n1\n0\n3\n0\n1\n4\n1 10\n2 11\n$EndNodeData\n"),
         "Gmsh cannot read it: "},
    };
    for (const auto& [model, why] : cases) expectRefused(exportAll(model, "x.wrl"), model, why);
    for (const char* name : {"random.unv", "random.stl", "random.mesh"}) {  // random bytes through to Gmsh
        const std::string model = write(name, randomBytes(4096, 3));
        const CommandResult result = exportAll(model, "x.wrl");
        EXPECT_TRUE(result.signal == 0 && result.status == 1 && result.err.find(model) != std::string::npos) << result.err;
    }
    EXPECT_TRUE(scenes().empty()) << "a model that cannot be read writes nothing";
}

class NonFinite : public Hostile, public ::testing::WithParamInterface<model_file::Format> {};

// Not finite or beyond a float's range: node 2's x, node 5's z, node 6's y; the temperature at
// three nodes; the stress of one element; node 4's and node 6's displacement and the time of the
// second step.
TEST_P(NonFinite, ReplacedAndTold) {
    model_file::start();
    const int plate = gmsh::model::addDiscreteEntity(2);
    model_file::addNodes(2, plate, {0, 0, 0, kNaN, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, -kInf, 2, 1e300, 0});
    model_file::group(2, {model_file::addElements(2, 3, {1, 2, 3, 4}, plate)}, "Plate", 1);
    model_file::group(2, {model_file::addElements(2, 2, {2, 5, 6, 2, 6, 3})}, "Skin", 7);
    const double temperature[] = {10, kInf, -kInf, kNaN, 14, 15};
    model_file::view("Temperature", "NodeData", {0}, 6, [&](std::size_t node, int) { return std::vector<double>{temperature[node - 1]}; });
    model_file::view("Stress", "ElementData", {0}, 3, [](std::size_t e, int) { return std::vector<double>{e == 2 ? -1e300 : e + 0.5}; });
    model_file::view("Displacement", "NodeData", {0, kNaN}, 6, [](std::size_t node, int step) {
        return step == 0 ? std::vector<double>{0, 0, 0} : std::vector<double>{node == 4 ? kNaN : 0.1, node == 6 ? kInf : 0, 0};
    });
    const std::string model = model_file::write(dir / "non-finite.msh", GetParam()).string();
    const std::string shown = "sceneport: " + model + ": ", notFinite = " not finite (NaN, infinite or beyond a float's range); ",
                      notPlaceable = " not finite or beyond ±1e30, the largest a scene holds; ",
                      fieldNote = notFinite + "a positive one stands as the largest finite value of its frame, a negative one or NaN as the smallest\n";
    for (const char* field : {"Temperature", "Stress"}) {
        const CommandResult result = exportAll(model, std::string("non-finite-") + field + ".wrl", {"--contour", field});
        ASSERT_EQ(result.status, 0) << result.err;
        for (const std::string& note :
             {"3 nodes have coordinates that are" + notPlaceable + "each such coordinate is the mean of the other nodes' on its axis instead\n",
              "1 frame time is" + notFinite + "each is the time of the frame before instead (0 for the first)\n",
              "2 node positions in 1 frame are" + notPlaceable + "those nodes stay at their reference position there\n",
              "field \"Temperature\": 10 values in 2 frames are" + fieldNote, "field \"Stress\": 2 values in 2 frames are" + fieldNote})
            EXPECT_EQ(testing_support::occurrences(result.err, shown + note), 1) << result.err;
    }
    EXPECT_EQ(scenes().size(), 4u) << "two frames for each field";
}

INSTANTIATE_TEST_SUITE_P(Msh, NonFinite, ::testing::ValuesIn(model_file::kFormats), [](const auto& info) { return std::string(info.param.name); });

TEST_F(Hostile, HugeCoordinatesAndScales) {
    const auto quad = [&](const std::string& name, const std::vector<double>& xyz, double pushed) {
        model_file::start();
        const int plate = gmsh::model::addDiscreteEntity(2);
        model_file::addNodes(2, plate, xyz);
        model_file::group(2, {model_file::addElements(2, 3, {1, 2, 3, 4}, plate)}, "Plate");
        if (pushed != 0) model_file::view("Displacement", "NodeData", {0}, 4, [&](std::size_t node, int) { return std::vector<double>{node == 3 ? pushed : 0, 0, 0}; });
        return model_file::write(dir / name).string();
    };
    // Finite coordinates whose sums are not; then a displacement that --scale 100 takes beyond a scene.
    const std::string huge = quad("huge.msh", {-3e38, 0, 0, 3e38, 0, 0, 3e38, 3e38, 0, 0, 3e38, 0}, 0);
    const CommandResult result = exportAll(huge, "huge.wrl");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(huge + ": 4 nodes have coordinates that are not finite or beyond ±1e30"), std::string::npos) << result.err;
    const std::string far = quad("far.msh", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, 1e29);
    EXPECT_EQ(exportAll(far, "far.wrl").status, 0);
    const CommandResult scaled = exportAll(far, "far-scaled.wrl", {"--scale", "100"});
    EXPECT_EQ(scaled.status, 2);
    EXPECT_EQ(scaled.err, "sceneport: --scale: at 100 the deformed model reaches beyond ±1e30, the largest coordinate a scene holds (frame 1)\n");
}

// How names are made fit and unique is tests/io/part_names_test.cpp's; here, that the scene
// defines each once, whatever the file names, with one note for all renamed parts.
TEST_F(Hostile, PartNamesBecomeUniqueNodeNames) {
    const std::vector<std::string> names{"a{b}", "it's", "7up", "global_coords", "a b", "a_b", "Twin", "Twin", std::string(10'000, 'L')};
    model_file::start();
    for (std::size_t i = 0; i < names.size(); ++i) model_file::group(2, {model_file::addReferenceElement(2, 2.0 * i)}, names[i], static_cast<int>(i + 1));
    const std::string model = model_file::write(dir / "names.msh", model_file::kFormats[0]).string();
    const CommandResult result = exportAll(model, "names.wrl");
    ASSERT_EQ(result.status, 0) << result.err;
    // The part transforms: inside the global model, before the sphere sensor.
    const auto partNames = [&](const std::string& file) {
        const std::string scene = testing_support::readFile(dir / file);
        const std::size_t from = scene.find("DEF Global_model Transform") + 1;
        const std::string inside = scene.substr(from, scene.find("DEF ss SphereSensor") - from);
        static const std::regex transform(R"(DEF (\S+) Transform \{)");
        std::vector<std::string> found;
        for (auto m = std::sregex_iterator(inside.begin(), inside.end(), transform); m != std::sregex_iterator(); ++m) {
            found.push_back((*m)[1].str());
            EXPECT_EQ(testing_support::occurrences(scene, "DEF " + found.back() + " "), 1) << found.back() << " is defined once";
        }
        return found;
    };
    const std::vector<std::string> defined = partNames("names1.wrl");
    ASSERT_EQ(defined.size(), names.size());
    EXPECT_EQ(std::set<std::string>(defined.begin(), defined.end()).size(), names.size());
    EXPECT_EQ(testing_support::occurrences(result.err, "renamed "), 1) << "one line for every renamed part: " << result.err;
    // A part answers to its name in scenes and to its name in the file.
    EXPECT_EQ(exportAll(model, "chosen.wrl", {"--parts", "a_b_(2),7up"}).status, 0);
    EXPECT_EQ(partNames("chosen1.wrl"), (std::vector<std::string>{"_7up", "a_b_(2)"}));
}

TEST_F(Hostile, GmshCrashesAndRunawaysAreStopped) {
    // A group naming element 5, which the file does not have: Gmsh 4.8 crashes on it.
    const std::string crash = SCENEPORT_TEST_DATA "/missing-element.unv";
    command_test::RunSettings crashing;
    crashing.crashesAsSignals = true;
    CommandResult result = command_test::runSceneport({"export", "-q", crash, "-o", path("crash.wrl")}, crashing);
    EXPECT_EQ(result.signal, 0) << "the crash stays inside the command";
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("sceneport: Gmsh crashed reading " + crash + " (segmentation fault)")) << result.err;

    // MSH 4 binary: the first element block's count (after four size_t and three ints) made huge.
    std::string runaway = testing_support::readFile(model_file::plateAndRod(dir / "intact.msh", model_file::kFormats[3]));
    const std::uint64_t count = 999'999'999;
    runaway.replace(runaway.find("$Elements\n") + 10 + 4 * sizeof(std::uint64_t) + 3 * sizeof(std::int32_t), sizeof count,
                    reinterpret_cast<const char*>(&count), sizeof count);
    const std::string model = write("runaway.msh", runaway);
    result = exportAll(model, "runaway.wrl");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("sceneport: " + model + ": stopped reading it: Gmsh took more than ")) << result.err;
    EXPECT_NE(result.err.find("of memory for a file of " + std::to_string(runaway.size()) + " bytes"), std::string::npos) << result.err;
    EXPECT_TRUE(scenes().empty());
}

// The result formats VTK reads, cut short at a third and two thirds, and with a run of their bytes
// overwritten: an error that names the file, or complete scenes. A d3plot's root file cut short
// crashes VTK's LS-DYNA reader; the command says so.
TEST_F(Hostile, VtkFormatsCutOrCorrupted) {
    const std::filesystem::path data = SCENEPORT_TEST_DATA;
    const struct {
        const char* file;     // in tests/data
        const char* damaged;  // the file of it that is cut or corrupted
    } formats[] = {{"block_crush_1.ex2", "block_crush_1.ex2"}, {"can.vtu", "can.vtu"}, {"blow.vtk", "blow.vtk"},
                   {"ensight/blow2_ascii.case", "blow2_ascii.geo001"}, {"d3plot/d3plot", "d3plot"}};
    int variant = 0;
    for (const auto& format : formats) {
        const std::filesystem::path source = data / format.file;
        for (const int damage : {1, 2, 3}) {  // a third, two thirds, corrupted
            const std::filesystem::path copy = dir / ("v" + std::to_string(++variant));
            std::filesystem::create_directory(copy);
            for (const auto& entry : std::filesystem::directory_iterator(source.parent_path()))
                if (entry.path().stem() == source.stem() || source.parent_path() != data)
                    std::filesystem::copy_file(entry.path(), copy / entry.path().filename());
            std::string bytes = testing_support::readFile(copy / format.damaged);
            if (damage < 3) bytes.resize(bytes.size() * damage / 3);
            else bytes.replace(bytes.size() / 2, 256, randomBytes(256, 7));
            std::filesystem::permissions(copy / format.damaged, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
            std::ofstream(copy / format.damaged, std::ios::binary | std::ios::trunc) << bytes;
            const std::string model = (copy / source.filename()).string();
            command_test::RunSettings crashing;
            crashing.crashesAsSignals = true;
            crashing.acceptedReportIn = "vtkLSDynaReader";  // its overflow on a root file cut short
            const std::string scene = "v" + std::to_string(variant);
            const CommandResult result =
                command_test::runSceneport({"export", "--all-frames", model, "-o", path(scene + ".wrl")}, crashing);
            EXPECT_EQ(result.signal, 0) << model;
            EXPECT_TRUE(result.status == 0 || (result.status == 1 && result.err.find(model) != std::string::npos))
                << model << ": " << result.err;
            if (result.status != 0) {
                EXPECT_FALSE(std::filesystem::exists(path(scene + "1.wrl"))) << "nothing written for " << model;
            }
            // A crash, or under AddressSanitizer its report, ends the worker; the command names the reader.
            const bool crashed = result.err.find(" reading " + model + " (") != std::string::npos;
            EXPECT_TRUE(!crashed || result.err.find("sceneport: VTK's LS-DYNA reader ") != std::string::npos) << result.err;
        }
    }
}

}  // namespace
