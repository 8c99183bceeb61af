// Windows' contour values, spectra and textures as the plug-in reads them.
#include "hostapp.h"
#include "hostmodel.h"
#include "hostrender.h"
#include "hostwin.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <cmath>

namespace {

using Contours = testing_support::HostTest;

// A shell of two triangles (nodes 0-3) and a line (nodes 4-5) over three frames; node values
// 100 * frame + node, element values 10 * frame + element.
struct TwoParts {
    host::ModelBuilder model{"contoured"};
    TwoParts() {
        model.part("Shell").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2, 0, 2, 3});
        model.part("Beam").nodes({{2, 0, 0}, {3, 0, 0}}).lines({0, 1});
        model.frames({0.0f, 0.1f, 0.2f})
            .nodeField("temperature", [](int frame, int node) { return 100.0f * frame + node; })
            .elementField("stress", [](int frame, int element) { return 10.0f * frame + element; });
    }
    std::vector<float> values(WindowStr* window) {
        const ContourInfoStr* info = WindowGetContourInfo(window, model);
        return info->values ? std::vector<float>(info->values, info->values + info->valueCount) : std::vector<float>{};
    }
};

TEST_F(Contours, Values) {
    TwoParts scene;
    host::showFrame(1);
    host::WindowBuilder window(scene.model);
    EXPECT_TRUE(scene.values(window).empty()) << "no contour yet";
    window.contour("temperature");
    EXPECT_EQ(scene.values(window), (std::vector<float>{100, 101, 102, 103, 104, 105}));
    host::showFrame(2);
    EXPECT_EQ(scene.values(window)[0], 200.0f) << "the display follows the shown frame";
    // Node values averaged per element (triangles, then the line); element values at the nodes.
    window.contour("temperature", host::ValueLocation::Element);
    EXPECT_EQ(scene.values(window), (std::vector<float>{201.0f, 201.0f + 2.0f / 3.0f, 204.5f}));
    window.contour("stress", host::ValueLocation::Node);
    EXPECT_EQ(scene.values(window), (std::vector<float>{20.5f, 20.0f, 20.5f, 21.0f, 22.0f, 22.0f}));
}

TEST_F(Contours, UpdatesAndTexture) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    window.contour("stress").bands(4);
    ZDbs* settings = WindowInfoGetContour(WindowGetWinInfoPtr(window, scene.model));
    CZdbSpectrum* spectrum = ApplGetSpectrum(window, nullptr);
    MdbGetManagerObject(scene.model, 0)->currentState = 3;
    ContourUpdateStr update{};
    update.bandingMode = spectrum->GetBandingMode();
    ASSERT_EQ(ContourDBUpdateValues(scene.model, settings, &update, 0), 1);
    EXPECT_EQ(scene.values(window), (std::vector<float>{20, 21, 22}));
    EXPECT_EQ(spectrum->GetMaximum(), 2.0f) << "the spectrum waits for its own update";
    BlockUtilUpdateSpectrum(window);
    float levels[5];
    spectrum->GetLevelValues(levels);
    EXPECT_EQ(std::vector<float>(levels, levels + 5), (std::vector<float>{20.0f, 20.5f, 21.0f, 21.5f, 22.0f}));

    unsigned int colors[2] = {0x0000FF, 0xFF0000};  // red, then blue: packed with red lowest
    update.colorCount = 2;
    update.colorTable = colors;
    ContourUpdateTexture(window, scene.model, settings, &update);
    const RenderTextureAttributes* texture = WindowGetTextureManager(window)->GetSceneGivenSpectrum(spectrum);
    ASSERT_EQ(texture->width, 256);
    EXPECT_EQ(std::vector<int>(texture->pixels, texture->pixels + 4), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(std::vector<int>(texture->pixels + 4 * 255, texture->pixels + 4 * 256), (std::vector<int>{0, 0, 255, 255}));
}

TEST_F(Contours, BandColours) {
    TwoParts scene;
    scene.model.elementField("wild", [](int, int element) { return element == 0 ? INFINITY : element == 1 ? -INFINITY : 5.0f; });
    host::WindowBuilder window(scene.model), automatic(scene.model);
    unsigned int* table = nullptr;
    window.contour("temperature").bands(5);
    ASSERT_EQ(ApplGetSpectrum(window, nullptr)->GetColorTable(&table), 5);
    EXPECT_EQ(table[2], 0x00FF00u) << "default colours: blue, green in the middle, red";
    EXPECT_TRUE(table[0] == 0xFF0000u && table[4] == 0x0000FFu);

    // A level belongs to the band above it; the maximum is in the top band; a flat range puts
    // values above it in the top band.
    const struct { float minimum, maximum, value; unsigned color; } cases[] = {
        {0, 4, -100, 0x10}, {0, 4, 0, 0x10}, {0, 4, 0.99f, 0x10}, {0, 4, 1, 0x20}, {0, 4, 3.5f, 0x40},
        {0, 4, 4, 0x40}, {0, 4, 1e30f, 0x40}, {2, 2, 1, 0x10}, {2, 2, 3, 0x40}};
    for (const auto& c : cases) {
        window.contour("temperature").colors({0x000010, 0x000020, 0x000030, 0x000040}).range(c.minimum, c.maximum);
        EXPECT_EQ(ApplGetSpectrum(window, nullptr)->GetColorForValue(c.value), c.color) << c.value << " in " << c.minimum << ".." << c.maximum;
    }
    EXPECT_EQ(ApplGetSpectrum(window, nullptr)->GetMaximum(), 2.0f) << "a fixed range ignores the values";
    automatic.contour("wild");
    EXPECT_EQ(ApplGetSpectrum(automatic, nullptr)->GetMinimum(), 5.0f) << "values that are not finite stay out of the range";
    EXPECT_EQ(ApplGetSpectrum(automatic, nullptr)->GetMaximum(), 5.0f);
}

}  // namespace
