// Windows, contour values, spectra and textures as the plug-in reads them.
#include "hostapp.h"
#include "hostmodel.h"
#include "hostrender.h"
#include "hostwin.h"
#include "host_log.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <cstring>

namespace {

using testing_support::HostTest;

// Two parts: a shell of two triangles (nodes 0-3) and a line part (nodes 4-5), three frames.
// Node field: 100 * frame + node. Element field: 10 * frame + element.
struct TwoParts {
    host::ModelBuilder model{"contoured"};
    TwoParts() {
        model.part("Shell").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})
            .elements(FE_MESH_TRIA3, {0, 1, 2, 0, 2, 3});
        model.part("Beam").nodes({{2, 0, 0}, {3, 0, 0}}).lines({0, 1});
        model.frames({0.0f, 0.1f, 0.2f})
            .nodeField("temperature", [](int frame, int node) { return 100.0f * frame + node; })
            .elementField("stress", [](int frame, int element) { return 10.0f * frame + element; });
    }
};

std::vector<float> contourValues(WindowStr* window, ModelStr* model) {
    const ContourInfoStr* info = WindowGetContourInfo(window, model);
    if (info->values == nullptr) return {};
    return std::vector<float>(info->values, info->values + info->valueCount);
}

using Contours = HostTest;

TEST_F(Contours, FollowTheShownFrame) {
    TwoParts scene;
    host::showFrame(1);
    host::WindowBuilder window(scene.model);
    window.contour("temperature");
    EXPECT_EQ(contourValues(window, scene.model), (std::vector<float>{100, 101, 102, 103, 104, 105}));

    ZDbs* settings = WindowInfoGetContour(WindowGetWinInfoPtr(window, scene.model));
    ASSERT_NE(settings, nullptr);
    char name[256], location[256];
    DbsVaGetValues(settings, DBS_CONTOUR_RESULT_NAME, name, DBS_CONTOUR_LOCATION_TEXT, location, 0);
    EXPECT_STREQ(name, "temperature");
    EXPECT_STREQ(location, "NODES");

    host::showFrame(2);
    EXPECT_EQ(contourValues(window, scene.model)[0], 200.0f) << "the display follows the shown frame";
}

TEST_F(Contours, ConvertedToTheShownLocation) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    // Nodal values averaged per element, in element order: two triangles, then the line.
    window.contour("temperature", host::ValueLocation::Element);
    EXPECT_EQ(contourValues(window, scene.model), (std::vector<float>{1.0f, 5.0f / 3.0f, 4.5f}));
    EXPECT_EQ(ApplGetSpectrum(window, nullptr)->GetValueLocation(), 1);

    // Element values averaged at the nodes: node 0 and node 2 touch both triangles.
    window.contour("stress", host::ValueLocation::Node);
    EXPECT_EQ(contourValues(window, scene.model), (std::vector<float>{0.5f, 0.0f, 0.5f, 1.0f, 2.0f, 2.0f}));
    EXPECT_EQ(ApplGetSpectrum(window, nullptr)->GetValueLocation(), 0);
}

TEST_F(Contours, UpdatesFollowTheCurrentState) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    window.contour("stress").bands(4);
    ZDbs* settings = WindowInfoGetContour(WindowGetWinInfoPtr(window, scene.model));
    CZdbSpectrum* spectrum = ApplGetSpectrum(window, nullptr);
    EXPECT_EQ(spectrum->GetMaximum(), 2.0f);

    FePostResultStr* result = MdbGetManagerObject(scene.model, 0);
    result->currentState = 3;
    ContourUpdateStr update{};
    update.bandingMode = spectrum->GetBandingMode();
    ASSERT_EQ(ContourDBUpdateValues(scene.model, settings, &update, 0), 1);
    EXPECT_EQ(contourValues(window, scene.model), (std::vector<float>{20, 21, 22}));
    EXPECT_EQ(spectrum->GetMaximum(), 2.0f) << "the spectrum waits for its own update";

    BlockUtilUpdateSpectrum(window);
    EXPECT_EQ(spectrum->GetMinimum(), 20.0f);
    EXPECT_EQ(spectrum->GetMaximum(), 22.0f);
    float levels[5];
    spectrum->GetLevelValues(levels);
    EXPECT_EQ(std::vector<float>(levels, levels + 5), (std::vector<float>{20.0f, 20.5f, 21.0f, 21.5f, 22.0f}));

    // The texture is rebuilt from the record: two bands, red then blue.
    unsigned int colors[2] = {0x0000FF, 0xFF0000};
    update.colorCount = 2;
    update.colorTable = colors;
    ContourUpdateTexture(window, scene.model, settings, &update);
    RenderTextureAttributes* texture = WindowGetTextureManager(window)->GetSceneGivenSpectrum(spectrum);
    ASSERT_EQ(texture->width, 256);
    EXPECT_EQ(std::vector<int>(texture->pixels, texture->pixels + 4), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(std::vector<int>(texture->pixels + 4 * 255, texture->pixels + 4 * 256), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(texture->pixels[4 * 127 + 0], 255);
    EXPECT_EQ(texture->pixels[4 * 128 + 2], 255);
}

TEST_F(Contours, BandColoursClampAtTheEnds) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    window.contour("temperature").colors({0x000010, 0x000020, 0x000030, 0x000040}).range(0.0f, 4.0f);
    CZdbSpectrum* spectrum = ApplGetSpectrum(window, nullptr);

    unsigned int* table = nullptr;
    ASSERT_EQ(spectrum->GetColorTable(&table), 4);
    EXPECT_EQ(table[3], 0x000040u);
    EXPECT_EQ(spectrum->GetRangeMode(), 0) << "a fixed range";
    // A level belongs to the band above it; the maximum is in the top band.
    const std::pair<float, unsigned> colorOf[] = {{-100.0f, 0x10}, {0.0f, 0x10}, {0.99f, 0x10}, {1.0f, 0x20},
                                                  {3.5f, 0x40}, {4.0f, 0x40}, {1e30f, 0x40}};
    for (const auto& [value, color] : colorOf) EXPECT_EQ(spectrum->GetColorForValue(value), color) << value;
    EXPECT_EQ(spectrum->GetMinimum(), 0.0f);
    EXPECT_EQ(spectrum->GetMaximum(), 4.0f) << "a fixed range ignores the values";
}

TEST_F(Contours, WithoutAContourThereIsNothing) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    const ContourInfoStr* info = WindowGetContourInfo(window, scene.model);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->values, nullptr);
    EXPECT_EQ(WindowInfoGetContour(WindowGetWinInfoPtr(window, scene.model)), nullptr);

    host::ModelBuilder other("other");
    EXPECT_EQ(WindowGetContourInfo(window, other)->values, nullptr) << "a window shows one model";
    EXPECT_THROW(window.contour("pressure"), std::invalid_argument);

    window.contour("stress").bands(5);
    FePostResultStr* result = MdbGetManagerObject(scene.model, 0);
    EXPECT_STREQ(FePostGetResultNameFromResultType(result, result->currentResult.resultType), "stress");
    EXPECT_STREQ(FePostGetResultNameFromResultType(result, 99), "");
    unsigned int* table = nullptr;  // default colours: blue to red, packed with red lowest
    ASSERT_EQ(ApplGetSpectrum(window, nullptr)->GetColorTable(&table), 5);
    EXPECT_EQ(table[0], 0xFF0000u);
    EXPECT_EQ(table[2], 0x00FF00u);
    EXPECT_EQ(table[4], 0x0000FFu);
}

TEST_F(Contours, AppRootFindsViewsAndWindows) {
    TwoParts scene;
    host::WindowBuilder window(scene.model);
    window.cameraPosition(1.5, -2.0, 30.0);
    IZEDS3D* root = zeapputl::GetAppRoot();
    IZEView3D* view = root->GetView3D(window);
    ASSERT_NE(view, nullptr);
    double x = 0, y = 0, z = 0;
    view->GetCameraPosition(x, y, z);
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -2.0);
    EXPECT_EQ(z, 30.0);
    EXPECT_EQ(root->GetModelObject(scene.model)->GetWindow(), window.handle());

    host::ModelBuilder unseen("unseen");
    EXPECT_EQ(root->GetModelObject(unseen)->GetWindow(), nullptr);
    window.noView3D();
    EXPECT_EQ(root->GetView3D(window), nullptr);
}

// ---------------------------------------------------------------------------------------------

using Application = HostTest;

TEST_F(Application, HeaderData) {
    host::application().applicationName = "Studio";
    host::application().applicationVersion = "7.2";
    host::application().productName = "Sceneport host";
    char name[256], version[256];
    ASSERT_NE(ApplGetApplObject(), nullptr);
    EXPECT_EQ(DbsVaGetValues(ApplGetApplObject(), DBS_APPL_NAME, name, DBS_APPL_VERSION, version, 0), 2);
    EXPECT_STREQ(name, "Studio");
    EXPECT_STREQ(version, "7.2");
    char product[1024], data[1024];
    ApplEnvGetProductNameAndData(product, data);
    EXPECT_STREQ(product, "Sceneport host");

    host::application().hasApplicationObject = false;
    EXPECT_EQ(ApplGetApplObject(), nullptr);
}

TEST_F(Application, MessagesAndPrompts) {
    std::vector<std::string> shown;
    host::Display display;
    display.prompt = [&](std::string_view text) { shown.emplace_back(text); };
    host::setDisplay(&display);
    LumoPromptSetSimple("Exporting a.wrl...");
    ApplicationMessage(0, "No Parts in model!");
    host::setDisplay(nullptr);
    LumoPromptSetSimple("unseen");

    EXPECT_EQ(shown, (std::vector<std::string>{"Exporting a.wrl..."}));
    EXPECT_EQ(host::hostLog().prompts, (std::vector<std::string>{"Exporting a.wrl...", "unseen"}));
    ASSERT_EQ(host::hostLog().messages.size(), 1u);
    EXPECT_EQ(host::hostLog().messages[0].text, "No Parts in model!");
    EXPECT_EQ(host::hostLog().calls("LumoPromptSetSimple"), 2);
}

TEST_F(Application, PartColours) {
    float r0, g0, b0, r1, g1, b1, r, g, b;
    EXPECT_EQ(zgl_get_rgb_floats(1, r0, g0, b0), 0);
    EXPECT_EQ(zgl_get_rgb_floats(2, r1, g1, b1), 0);
    EXPECT_TRUE(r0 != r1 || g0 != g1 || b0 != b1);
    EXPECT_EQ(zgl_get_rgb_floats(300, r, g, b), -1);
    zgl_get_rgb_floats(0, r0, g0, b0);
    EXPECT_EQ(r, r0);
}

}  // namespace
