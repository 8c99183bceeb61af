// Whole exports as a host runs them, through the shared library: the files of which frames, what
// the user sees, the result, the parts written with their contour values, the host's arrays.
#include "ZVRMLAdapter.h"
#include "host_log.h"
#include "hostgen.h"
#include "scene_builder.h"
#include "scene_text.h"
#include "session.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;
using Params = ZVRMLAdapter::ExportParams;

class Export : public HostTest {
protected:
    Params request(ModelStr* model, WindowStr* window, const std::string& name = "scene.wrl") {
        Params params;
        std::tie(params.model, params.window, params.fileName) = std::tuple(model, window, GuString(pathOf(name).c_str()));
        return params;
    }
    std::string pathOf(const std::string& name) const { return (dir / name).string(); }
    // The file `name`, kept for the independent readers.
    std::string written(const std::string& name = "scene.wrl") {
        const std::string text = readFile(dir / name);
        keepVrmlSample(text);
        return text;
    }
    Strings files() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Exports the current frame of `model` as `change` asks and returns the file.
    std::string exportModel(ModelStr* model, WindowStr* window, void (*change)(Params&) = nullptr) {
        Params params = request(model, window);
        if (change != nullptr) change(params);
        status = adapter.ExportVRMLData(params);
        return written();
    }
    // A plate of two quadrilaterals, and a one-dimensional wire of two lines, which an export leaves out.
    static host::PartBuilder plate(host::ModelBuilder& model, const std::string& name) {
        return model.part(name).nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4});
    }
    static host::PartBuilder wire(host::ModelBuilder& model, const std::string& name) {
        return model.part(name).nodes({{0, 2, 0}, {1, 2, 0}, {2, 2, 0}}).lines({0, 1, 1, 2});
    }
    // A plate at z = 3 × frame: the viewpoint stands over (1, 0.5, 3 × frame) at twice 2, 3 or 6.
    static host::ModelBuilder movingPlate(std::vector<float> times = {0.0f, 0.5f, 1.5f}) {
        host::ModelBuilder model("Moving plate");
        plate(model, "Plate");
        model.frames(std::move(times)).motion([](int frame, int, float* xyz) { xyz[2] += 3.0f * frame; });
        return model;
    }
    // A scene's frame label and viewpoint position.
    static Strings frameOf(const std::string& text) {
        return {matchesOf(text, "string \\[\"([0-9]+ / [^\"]*)\"").at(0), matchesOf(text, "position\t([^\n]*) \n").at(0)};
    }
    // The run's one line on the host console: a link to where the files went.
    static std::wstring consoleLine() {
        const auto& console = host::hostLog().console;
        return console.size() == 1 && console[0].type == 2 && console[0].link ? console[0].text : L"not one link line";
    }
    TempDir dir;
    ZVRMLAdapter adapter;
    int status = -1;
};

TEST_F(Export, AllFrames) {
    host::ModelBuilder model = movingPlate();
    model.elementField("rising", [](int frame, int element) { return float(frame + element); });
    host::WindowBuilder window(model);
    window.contour("rising").colors(countingColors()).range(0.0f, 16.0f);
    Params params = request(model, window, "run.wrl");
    params.allFrames = params.exportContours = true;
    __ZxFreeLoopCount__ = 2;  // the host's leak checks ask for a second pass, with the pointer cleared
    EXPECT_EQ(adapter.ExportVRMLData(params), 1);
    EXPECT_EQ(adapter.contourInfo, nullptr) << "nothing follows the frame's record afterwards";
    const std::vector<host::FreeRecord>& frees = host::hostLog().frees;
    ASSERT_GE(frees.size(), 2u);
    EXPECT_TRUE(frees[0].handedOut && frees[1].pointer == nullptr && frees[1].line == frees[0].line);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
    EXPECT_EQ(files(), (Strings{"run1.wrl", "run2.wrl", "run3.wrl"}));
    const Strings expected[] = {{"1 / 0", "1.000000 0.500000 4.000000"}, {"2 / 0.5", "1.000000 0.500000 6.000000"},
                                {"3 / 1.5", "1.000000 0.500000 12.000000"}};
    for (int frame = 0; frame < 3; ++frame) {
        const std::string name = "run" + std::to_string(frame + 1) + ".wrl", text = written(name);
        EXPECT_EQ(frameOf(text), expected[frame]);
        EXPECT_EQ(occurrences(text, "\"Moving_plate\""), 1) << "the title, cleaned as a name";
        const auto shapes = shapesIn(partText(text, "Plate"));
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{frame, frame + 1})) << "that frame's contours";
        EXPECT_EQ(host::hostLog().prompts[frame], "Exporting " + pathOf(name) + "...");
    }
    EXPECT_EQ(consoleLine(), L"Exported all frames to directory: <a>" + widen(dir.path().string()) + L"</a>\n");
}

TEST_F(Export, CurrentFrame) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    for (const auto& [shown, expected] : {std::pair{1, Strings{"2 / 0.5", "1.000000 0.500000 6.000000"}},
                                          {7, Strings{"3 / 1.5", "1.000000 0.500000 12.000000"}}}) {
        host::hostLog().clear();
        host::showFrame(shown);
        EXPECT_EQ(adapter.ExportVRMLData(request(model, window, "current.wrl")), 1);
        EXPECT_EQ(files(), Strings{"current.wrl"});
        EXPECT_EQ(frameOf(written("current.wrl")), expected);
        EXPECT_EQ(host::hostLog().prompts, Strings{"Exporting " + pathOf("current.wrl") + "..."});
        EXPECT_EQ(consoleLine(), L"Exported current frame to file: <a>" + widen(pathOf("current.wrl")) + L"</a>\n");
    }
}

// A model without a result, and one without frames: all frames are one file of the model as it stands.
TEST_F(Export, NoResult) {
    host::ModelBuilder still("Geometry only"), empty = movingPlate({});
    plate(still, "Plate");
    still.withoutResult();
    for (host::ModelBuilder* model : {&still, &empty}) {
        Params params = request(*model, host::WindowBuilder(*model), "run.wrl");
        params.allFrames = true;
        EXPECT_EQ(adapter.ExportVRMLData(params), 1);
        EXPECT_NE(host::hostLog().console.back().text.find(L"directory"), std::wstring::npos);
    }
    EXPECT_EQ(files(), Strings{"run1.wrl"});
    EXPECT_EQ(frameOf(written("run1.wrl")), (Strings{"1 / 0", "0.000000 0.000000 0.000000"}));
    EXPECT_EQ(host::hostLog().calls("SimVideoCommonUpdateModelForGivenFrame"), 0);
}

TEST_F(Export, Failures) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    ASSERT_EQ(adapter.ExportVRMLData(request(model, window, "first.wrl")), 1);
    host::hostLog().clear();
    Params noName = request(model, window);
    noName.fileName = "";
    for (const auto& incomplete : {request(nullptr, window), request(model, nullptr), noName}) {
        EXPECT_EQ(adapter.ExportVRMLData(incomplete), 3);
        EXPECT_EQ(std::wstring(adapter.params.fileName.GetBuffer()), widen(pathOf("first.wrl"))) << "the last request stays";
    }
    EXPECT_TRUE(host::hostLog().prompts.empty() && host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().calls("MngrGetObjectList"), 0);
    host::ModelBuilder noParts("Empty");
    EXPECT_EQ(adapter.ExportVRMLData(request(noParts, host::WindowBuilder(noParts))), 0);
    ASSERT_EQ(host::hostLog().messages.size(), 1u);
    EXPECT_EQ(host::hostLog().messages[0].text, "No Parts in model!");
    // The second frame's name is taken by a directory: the first file stays, the run ends.
    std::filesystem::create_directory(dir / "run2.wrl");
    Params params = request(model, window, "run.wrl");
    params.allFrames = true;
    EXPECT_EQ(adapter.ExportVRMLData(params), 4);
    EXPECT_EQ(adapter.ExportVRMLData(request(model, window, "missing/scene.wrl")), 4);
    EXPECT_EQ(files(), (Strings{"first.wrl", "run1.wrl", "run2.wrl"}));
    EXPECT_EQ(occurrences(written("run1.wrl"), "DEF ss SphereSensor"), 1);
    EXPECT_EQ(host::hostLog().prompts.size(), 3u);
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
}

// The result says whether shapes followed the last part left out (P: a plate, W: a wire).
TEST_F(Export, ResultCodes) {
    for (const auto& [layout, result] : {std::pair{"P", 1}, {"PP", 1}, {"WP", 2}, {"PW", 3}, {"PWP", 2}, {"WPW", 3}, {"W", 3}}) {
        host::resetSession();
        host::ModelBuilder model(layout);
        for (const char* kind = layout; *kind != '\0'; ++kind) (*kind == 'P' ? plate : wire)(model, *kind + std::to_string(kind - layout));
        const std::string text = exportModel(model, host::WindowBuilder(model));
        EXPECT_EQ(status, result) << layout;
        EXPECT_EQ(occurrences(text, "IndexedFaceSet"), occurrences(layout, "P")) << layout;
        EXPECT_EQ(occurrences(text, "ROUTE ss.rotation_changed TO Global_model.set_rotation"), 1);
    }
}

// Element values run through every part of the model, those left out included.
TEST_F(Export, ContourShare) {
    host::ModelBuilder model("Offsets");
    plate(model, "Unflagged").flagged(false);  // elements 0, 1
    wire(model, "Wire").flagged(true);         // elements 2, 3
    plate(model, "Drawn").flagged(true);       // elements 4, 5
    model.elementField("index", [](int, int element) { return float(element); });
    host::WindowBuilder window(model);
    window.contour("index").colors(countingColors()).range(0.0f, 16.0f);
    const std::string text = exportModel(model, window, [](Params& p) { p.flaggedPartsOnly = p.exportContours = true; });
    EXPECT_EQ(status, 2);
    EXPECT_TRUE(shapesIn(partText(text, "Unflagged")).empty());
    const auto shapes = shapesIn(partText(text, "Drawn"));
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{4, 5}));
}

// Which parts wear the spectrum, whether the legend shows the range, how many faces the solid has.
TEST_F(Export, Contours) {
    host::ModelBuilder model("Contours");
    plate(model, "With").contours(true);
    plate(model, "Without").contours(false);
    // Two cubes side by side: the face they share is not on the skin.
    model.part("Solid").nodes({{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {0, 1, 1}, {1, 1, 1}, {2, 1, 1},
                               {0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {0, 1, 2}, {1, 1, 2}, {2, 1, 2}})
        .elements(FE_MESH_HEXA8, {0, 1, 4, 3, 6, 7, 10, 9, 1, 2, 5, 4, 7, 8, 11, 10}).contours(false);
    model.nodeField("temperature", [](int, int node) { return float(node); });
    host::WindowBuilder window(model);
    window.contour("temperature");
    const auto textured = [](const std::string& text) {
        std::string parts;
        for (const char* part : {"With", "Without", "Solid"}) parts += occurrences(partText(text, part), "texture ") > 0 ? '+' : '-';
        return parts + " min " + std::to_string(occurrences(text, "\"min = ")) + " faces " + std::to_string(occurrences(partText(text, "Solid"), "-1,"));
    };
    EXPECT_EQ(textured(exportModel(model, window)), "--- min 0 faces 12");
    EXPECT_EQ(textured(exportModel(model, window, [](Params& p) { p.exportContours = p.skinOnly = true; })), "+-- min 1 faces 10");
    for (int solver : {9, 11}) {
        host::application().solver = solver;
        EXPECT_EQ(textured(exportModel(model, window, [](Params& p) { p.exportContours = true; })), "+++ min 1 faces 12") << solver;
    }
}

}  // namespace
