// The export run from the host's side: which files appear, for which frames, what the user sees
// on the prompt line, the console and in messages, what the run returns, and that every array
// the host hands over comes back.
#include "export_fixture.h"
#include "hostgen.h"
#include "scene_text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using testing_support::occurrences;
using testing_support::partText;
using testing_support::shapesIn;
using testing_support::widen;
using Strings = std::vector<std::string>;

// The legend's frame label: the frame number and its time.
std::string frameLabel(const std::string& label) { return "string [\"" + label + "\""; }

// The viewpoint's position line for a centre and a height.
std::string viewpointAt(const std::string& xyz) { return "position\t" + xyz + " \n"; }

class ExportRun : public ExportTest {
protected:
    // A plate at z = 3 × frame over three frames at the given times: the viewpoint stands over
    // the frame's centre (1, 0.5, 3 × frame) at twice the largest coordinate (2, 3, 6).
    host::ModelBuilder movingPlate(std::vector<float> times = {0.0f, 0.5f, 1.5f}) {
        host::ModelBuilder model("Moving plate");
        plate(model, "Plate");
        model.frames(std::move(times)).motion([](int frame, int, float* xyz) {
            xyz[2] += 3.0f * static_cast<float>(frame);
        });
        return model;
    }
};

TEST_F(ExportRun, AnIncompleteRequestDoesNothingAndKeepsTheLastRequest) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    ASSERT_EQ(adapter.ExportVRMLData(request(model, window, "first.wrl")), 1);
    host::hostLog().clear();

    ZVRMLAdapter::ExportParams noModel = request(nullptr, window, "second.wrl");
    ZVRMLAdapter::ExportParams noWindow = request(model, nullptr, "second.wrl");
    ZVRMLAdapter::ExportParams noName = request(model, window);
    noName.fileName = GuString("");
    for (const ZVRMLAdapter::ExportParams& incomplete : {noModel, noWindow, noName}) {
        EXPECT_EQ(adapter.ExportVRMLData(incomplete), 3);
        EXPECT_EQ(std::wstring(adapter.params.fileName.GetBuffer()), widen(pathOf("first.wrl")));
        EXPECT_EQ(adapter.params.model, model.handle());
        EXPECT_EQ(adapter.params.window, window.handle());
    }
    EXPECT_EQ(files(), Strings{"first.wrl"});
    EXPECT_TRUE(host::hostLog().prompts.empty());
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_TRUE(host::hostLog().messages.empty());
    EXPECT_EQ(host::hostLog().calls("MngrGetObjectList"), 0);
}

TEST_F(ExportRun, AModelWithoutPartsIsToldToTheUserAndWritesNothing) {
    host::ModelBuilder empty("Empty");
    host::WindowBuilder window(empty);

    EXPECT_EQ(adapter.ExportVRMLData(request(empty, window)), 0);

    ASSERT_EQ(host::hostLog().messages.size(), 1u);
    EXPECT_EQ(host::hostLog().messages[0].type, 0);
    EXPECT_EQ(host::hostLog().messages[0].text, "No Parts in model!");
    EXPECT_TRUE(files().empty());
    EXPECT_TRUE(host::hostLog().prompts.empty());
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
}

TEST_F(ExportRun, AllFramesGivesOneNumberedFilePerFrameInFrameOrder) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window, "run.wrl");
    params.allFrames = true;

    EXPECT_EQ(adapter.ExportVRMLData(params), 1);

    EXPECT_EQ(files(), (Strings{"run1.wrl", "run2.wrl", "run3.wrl"}));
    EXPECT_EQ(host::hostLog().prompts,
              (Strings{"Exporting " + pathOf("run1.wrl") + "...",
                       "Exporting " + pathOf("run2.wrl") + "...",
                       "Exporting " + pathOf("run3.wrl") + "..."}));
    const Strings labels = {"1 / 0", "2 / 0.5", "3 / 1.5"};
    const Strings positions = {"1.000000 0.500000 4.000000", "1.000000 0.500000 6.000000",
                               "1.000000 0.500000 12.000000"};
    for (int frame = 0; frame < 3; ++frame) {
        const std::string text = written("run" + std::to_string(frame + 1) + ".wrl");
        EXPECT_EQ(occurrences(text, frameLabel(labels[frame])), 1) << "frame " << frame;
        EXPECT_EQ(occurrences(text, viewpointAt(positions[frame])), 1) << "frame " << frame;
        EXPECT_EQ(shapesIn(partText(text, "Plate")).size(), 1u);
        EXPECT_EQ(occurrences(text, "\"Moving_plate\""), 1);  // the title, cleaned as a name
    }

    ASSERT_EQ(host::hostLog().console.size(), 1u);
    const host::ConsoleLine& report = host::hostLog().console[0];
    EXPECT_EQ(report.type, 2);
    EXPECT_TRUE(report.link);
    EXPECT_EQ(report.text,
              L"Exported all frames to directory: <a>" + widen(dir.path().string()) + L"</a>\n");
}

TEST_F(ExportRun, TheCurrentFrameGoesToExactlyTheRequestedFile) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    host::showFrame(1);

    EXPECT_EQ(adapter.ExportVRMLData(request(model, window, "current.wrl")), 1);

    EXPECT_EQ(files(), Strings{"current.wrl"});
    const std::string text = written("current.wrl");
    EXPECT_EQ(occurrences(text, frameLabel("2 / 0.5")), 1);
    EXPECT_EQ(occurrences(text, viewpointAt("1.000000 0.500000 6.000000")), 1);
    EXPECT_EQ(host::hostLog().prompts, Strings{"Exporting " + pathOf("current.wrl") + "..."});
    ASSERT_EQ(host::hostLog().console.size(), 1u);
    EXPECT_EQ(host::hostLog().console[0].text,
              L"Exported current frame to file: <a>" + widen(pathOf("current.wrl")) + L"</a>\n");
}

TEST_F(ExportRun, EachFrameCarriesThatFramesContourColours) {
    // Element e has the value frame + e, and the spectrum names each value by its colour.
    host::ModelBuilder model = movingPlate();
    model.elementField("rising", [](int frame, int element) { return float(frame + element); });
    host::WindowBuilder window(model);
    window.contour("rising").colors(testing_support::countingColors()).range(0.0f, 16.0f);
    ZVRMLAdapter::ExportParams params = request(model, window, "run.wrl");
    params.allFrames = true;
    params.exportContours = true;

    ASSERT_EQ(adapter.ExportVRMLData(params), 1);

    for (int frame = 0; frame < 3; ++frame) {
        const auto shapes =
            shapesIn(partText(written("run" + std::to_string(frame + 1) + ".wrl"), "Plate"));
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(testing_support::valuesOf(shapes[0]), (std::vector<int>{frame, frame + 1}));
    }
}

TEST_F(ExportRun, AModelWithFewerFramesThanTheHostShowsIsWrittenAtItsLast) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    host::showFrame(7);

    EXPECT_EQ(adapter.ExportVRMLData(request(model, window, "current.wrl")), 1);

    const std::string text = written("current.wrl");
    EXPECT_EQ(occurrences(text, frameLabel("3 / 1.5")), 1);
    EXPECT_EQ(occurrences(text, viewpointAt("1.000000 0.500000 12.000000")), 1);
}

TEST_F(ExportRun, AResultWithoutFramesWritesNoFileButStillReportsTheDirectory) {
    host::ModelBuilder model = movingPlate({});
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window, "run.wrl");
    params.allFrames = true;

    EXPECT_EQ(adapter.ExportVRMLData(params), 1);

    EXPECT_TRUE(files().empty());
    EXPECT_TRUE(host::hostLog().prompts.empty());
    ASSERT_EQ(host::hostLog().console.size(), 1u);
    EXPECT_EQ(host::hostLog().console[0].text,
              L"Exported all frames to directory: <a>" + widen(dir.path().string()) + L"</a>\n");
}

TEST_F(ExportRun, AModelWithoutAResultIsOneFrameSeenFromAboveTheOrigin) {
    host::ModelBuilder model("Geometry only");
    plate(model, "Plate");
    model.withoutResult();
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window, "still.wrl");
    params.allFrames = true;

    EXPECT_EQ(adapter.ExportVRMLData(params), 1);

    EXPECT_EQ(files(), Strings{"still1.wrl"});
    const std::string text = written("still1.wrl");
    EXPECT_EQ(occurrences(text, viewpointAt("0.000000 0.000000 0.000000")), 1);
    EXPECT_EQ(occurrences(text, frameLabel("1 / 0")), 1);
    EXPECT_EQ(shapesIn(partText(text, "Plate")).size(), 1u);
    EXPECT_EQ(host::hostLog().calls("SimVideoCommonUpdateModelForGivenFrame"), 0);
    ASSERT_EQ(host::hostLog().console.size(), 1u);
    EXPECT_NE(host::hostLog().console[0].text.find(L"directory"), std::wstring::npos);
}

TEST_F(ExportRun, AFileThatCannotBeOpenedEndsTheRunAndEarlierFilesStay) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window, "run.wrl");
    params.allFrames = true;
    // The second frame's name is taken by a directory.
    std::filesystem::create_directory(dir / "run2.wrl");

    EXPECT_EQ(adapter.ExportVRMLData(params), 4);

    EXPECT_EQ(files(), (Strings{"run1.wrl", "run2.wrl"}));
    EXPECT_EQ(occurrences(written("run1.wrl"), "DEF ss SphereSensor"), 1);
    EXPECT_EQ(host::hostLog().prompts.back(), "Exporting " + pathOf("run2.wrl") + "...");
    EXPECT_EQ(host::hostLog().prompts.size(), 2u);
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);

    // Nowhere to write at all: the same, from the first file on.
    host::hostLog().clear();
    EXPECT_EQ(adapter.ExportVRMLData(request(model, window, "missing/scene.wrl")), 4);
    EXPECT_EQ(host::hostLog().prompts.size(), 1u);
    EXPECT_TRUE(host::hostLog().console.empty());
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
}

TEST_F(ExportRun, EveryArrayTheHostHandsOverIsReleasedAsOftenAsItAsks) {
    host::ModelBuilder model = movingPlate();
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window, "run.wrl");
    params.allFrames = true;
    ASSERT_EQ(adapter.ExportVRMLData(params), 1);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
    const size_t releasesOfOneRun = host::hostLog().frees.size();

    // The host's leak checks ask for two passes: the first block is released once more, with
    // the pointer cleared, and the run still ends.
    host::hostLog().clear();
    __ZxFreeLoopCount__ = 2;
    ASSERT_EQ(adapter.ExportVRMLData(params), 1);
    EXPECT_EQ(__ZxFreeLoopCount__, 0);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
    const std::vector<host::FreeRecord>& frees = host::hostLog().frees;
    ASSERT_EQ(frees.size(), releasesOfOneRun + 1);
    EXPECT_TRUE(frees[0].handedOut);
    EXPECT_EQ(frees[1].pointer, nullptr);
    EXPECT_EQ(frees[1].line, frees[0].line);
    for (const host::FreeRecord& release : frees) EXPECT_FALSE(release.sourceFile.empty());
}

TEST_F(ExportRun, ASecondRunOfTheSameAdapterStartsClean) {
    // First a run with everything: contours per element, several frames.
    host::ModelBuilder contoured = movingPlate();
    contoured.elementField("index", [](int, int element) { return float(element); });
    host::WindowBuilder contourWindow(contoured);
    contourWindow.contour("index");
    ZVRMLAdapter::ExportParams first = request(contoured, contourWindow, "first.wrl");
    first.allFrames = true;
    first.exportContours = true;
    ASSERT_EQ(adapter.ExportVRMLData(first), 1);
    EXPECT_EQ(adapter.contourInfo, nullptr);

    // Then a plain model: the same adapter must write what a new one writes.
    host::ModelBuilder plain("Plain");
    plate(plain, "Plate");
    host::WindowBuilder plainWindow(plain);
    plainWindow.noContour();
    ASSERT_EQ(adapter.ExportVRMLData(request(plain, plainWindow, "again.wrl")), 1);
    ZVRMLAdapter fresh;
    ASSERT_EQ(fresh.ExportVRMLData(request(plain, plainWindow, "fresh.wrl")), 1);

    const std::string again = written("again.wrl");
    const std::string expected = written("fresh.wrl");
    EXPECT_EQ(testing_support::afterHeader(again), testing_support::afterHeader(expected));
    EXPECT_EQ(occurrences(again, "DEF global_coords"), 1);
    EXPECT_EQ(occurrences(again, "Color {"), 0);
}

}  // namespace
