// Which parts an export writes, how, and what its result says about the ones it left out: parts
// that cannot be drawn, parts the user did not flag, contours per part and per solver, and the
// share of the contour values that belongs to each part.
#include "export_fixture.h"
#include "scene_text.h"

#include <string>
#include <vector>

namespace {

using testing_support::countingColors;
using testing_support::occurrences;
using testing_support::partText;
using testing_support::shapesIn;
using testing_support::valuesOf;

class PartDecision : public ExportTest {
protected:
    // Exports `model` (current frame) and returns the file, kept for the readers.
    std::string exportModel(const ZVRMLAdapter::ExportParams& params) {
        status = adapter.ExportVRMLData(params);
        return written("scene.wrl");
    }
    std::string exportModel(host::ModelBuilder& model) {
        host::WindowBuilder window(model);
        return exportModel(request(model, window));
    }

    static bool written(const std::string& text, const std::string& part) {
        return !shapesIn(partText(text, part)).empty();
    }
    using ExportTest::written;

    // The legend shows the contoured result's range only when a part was drawn with contours.
    static bool legendShowsRange(const std::string& text) {
        return occurrences(text, "\"min = ") == 1 && occurrences(text, "\"max = ") == 1;
    }

    int status = -1;
};

TEST_F(PartDecision, AModelOfOnlyOneDimensionalPartsStillGivesACompleteScene) {
    host::ModelBuilder model("Wires");
    wire(model, "Wire A");
    wire(model, "Wire B");

    const std::string text = exportModel(model);

    EXPECT_EQ(status, 3);
    EXPECT_EQ(text.rfind("#VRML V2.0 utf8\n", 0), 0u);
    EXPECT_EQ(occurrences(text, "Viewpoint {"), 1);
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform {"), 1);
    EXPECT_EQ(occurrences(text, "DEF ss SphereSensor { }"), 1);
    EXPECT_EQ(occurrences(text, "ROUTE ss.rotation_changed TO Global_model.set_rotation"), 1);
    EXPECT_EQ(occurrences(text, "DEF Spectrum Transform"), 1);
    EXPECT_EQ(occurrences(text, "IndexedFaceSet"), 0);
    // The empty global model is opened and closed once, so every brace has its partner.
    EXPECT_EQ(occurrences(text, "{"), occurrences(text, "}"));
    EXPECT_EQ(occurrences(text, "["), occurrences(text, "]"));
    EXPECT_EQ(host::hostLog().console.size(), 1u);
}

TEST_F(PartDecision, TheResultSaysWhetherShapesFollowedTheLastPartLeftOut) {
    struct Case {
        std::string layout;  // P: a plate, W: a one-dimensional wire
        int result;
    };
    for (const Case& expected : {Case{"P", 1}, Case{"PP", 1}, Case{"WP", 2}, Case{"PW", 3},
                                 Case{"PWP", 2}, Case{"WPW", 3}, Case{"W", 3}}) {
        host::resetSession();
        host::ModelBuilder model("Layout " + expected.layout);
        int index = 0;
        for (char kind : expected.layout) {
            std::string name(1, kind);
            name += std::to_string(++index);
            if (kind == 'P') plate(model, name); else wire(model, name);
        }
        const std::string text = exportModel(model);
        EXPECT_EQ(status, expected.result) << expected.layout;
        EXPECT_EQ(occurrences(text, "IndexedFaceSet"),
                  occurrences(expected.layout, "P")) << expected.layout;
    }
}

TEST_F(PartDecision, PartsTheUserDidNotFlagAreLeftOutWithoutChangingTheResult) {
    host::ModelBuilder model("Flags");
    plate(model, "Shown").flagged(true);
    plate(model, "Hidden").flagged(false);
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window);
    params.flaggedPartsOnly = true;

    std::string text = exportModel(params);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(written(text, "Shown"));
    EXPECT_FALSE(written(text, "Hidden"));

    // A one-dimensional part counts against the result flagged or not: only a drawable part
    // that is flagged out leaves no trace.
    wire(model, "Unflagged wire").flagged(false);
    text = exportModel(params);
    EXPECT_EQ(status, 3);

    params.flaggedPartsOnly = false;
    text = exportModel(params);
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(written(text, "Hidden"));
}

TEST_F(PartDecision, SkinOnlyTakesTheOuterFacesOfSolidPartsAndLeavesShellsWhole) {
    host::ModelBuilder model("Skin");
    plate(model, "Shell");
    // Two cubes side by side: the face they share is not on the skin.
    model.part("Solid")
        .nodes({{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {0, 1, 1}, {1, 1, 1}, {2, 1, 1},
                {0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {0, 1, 2}, {1, 1, 2}, {2, 1, 2}})
        .elements(FE_MESH_HEXA8, {0, 1, 4, 3, 6, 7, 10, 9, 1, 2, 5, 4, 7, 8, 11, 10});
    host::WindowBuilder window(model);
    ZVRMLAdapter::ExportParams params = request(model, window);

    const auto facesOf = [](const std::string& text, const std::string& part) {
        size_t faces = 0;
        for (const auto& shape : shapesIn(partText(text, part))) faces += shape.faces.size();
        return faces;
    };
    std::string text = exportModel(params);
    EXPECT_EQ(facesOf(text, "Solid"), 12u);
    EXPECT_EQ(facesOf(text, "Shell"), 2u);

    params.skinOnly = true;
    text = exportModel(params);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(facesOf(text, "Solid"), 10u);
    EXPECT_EQ(facesOf(text, "Shell"), 2u);
}

TEST_F(PartDecision, PartsLeftOutStillTakeTheirShareOfTheContourValues) {
    // Element e has the value e, model-wide: a written part's colours name its own elements.
    host::ModelBuilder model("Offsets");
    plate(model, "Unflagged").flagged(false);  // elements 0, 1
    wire(model, "Wire");                       // elements 2, 3
    plate(model, "Drawn");                     // elements 4, 5
    model.elementField("index", [](int, int element) { return float(element); });
    host::WindowBuilder window(model);
    window.contour("index").colors(countingColors()).range(0.0f, 16.0f);
    ZVRMLAdapter::ExportParams params = request(model, window);
    params.flaggedPartsOnly = true;
    params.exportContours = true;

    const std::string text = exportModel(params);

    EXPECT_FALSE(written(text, "Unflagged"));
    const auto shapes = shapesIn(partText(text, "Drawn"));
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{4, 5}));
}

TEST_F(PartDecision, ContoursFollowEachPartUnlessTheSolverCoversTheWholeModel) {
    host::ModelBuilder model("Solvers");
    plate(model, "With").contours(true);
    plate(model, "Without").contours(false);
    model.nodeField("temperature", [](int, int node) { return float(node); });
    host::WindowBuilder window(model);
    window.contour("temperature");
    ZVRMLAdapter::ExportParams params = request(model, window);
    params.exportContours = true;
    // Every face set of a per-node export carries texture coordinates; only a part drawn
    // with contours has the spectrum texture in its appearance.
    const auto textured = [](const std::string& text, const std::string& part) {
        return occurrences(partText(text, part), "texture ") > 0;
    };

    std::string text = exportModel(params);
    EXPECT_TRUE(textured(text, "With"));
    EXPECT_FALSE(textured(text, "Without"));
    for (int solver : {9, 11}) {
        host::application().solver = solver;
        text = exportModel(params);
        EXPECT_TRUE(textured(text, "With")) << "solver " << solver;
        EXPECT_TRUE(textured(text, "Without")) << "solver " << solver;
    }
    params.exportContours = false;
    text = exportModel(params);
    EXPECT_FALSE(textured(text, "With"));
    EXPECT_FALSE(textured(text, "Without"));
}

TEST_F(PartDecision, TheLegendShowsTheRangeExactlyWhenAPartWasDrawnWithContours) {
    host::ModelBuilder model("Legend");
    host::PartBuilder contoured = plate(model, "Contoured").contours(true);
    plate(model, "Plain").contours(false);
    model.nodeField("temperature", [](int, int node) { return float(node); });
    host::WindowBuilder window(model);
    window.contour("temperature");
    ZVRMLAdapter::ExportParams params = request(model, window);
    params.exportContours = true;

    EXPECT_TRUE(legendShowsRange(exportModel(params)));

    // The one part with contours is not flagged: nothing drawn has contours.
    contoured.flagged(false);
    params.flaggedPartsOnly = true;
    EXPECT_FALSE(legendShowsRange(exportModel(params)));

    params.flaggedPartsOnly = false;
    params.exportContours = false;
    EXPECT_FALSE(legendShowsRange(exportModel(params)));
}

}  // namespace
