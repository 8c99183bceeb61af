// Per-face spectrum colours of element values, and the appearance each shape gets: the part's
// material and, for node values, the spectrum texture.
#include "adapter_probe.h"
#include "hostrender.h"
#include "scene_builder.h"
#include "session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<int> bytesOf(uint32_t packed) {
    return {static_cast<int>(packed & 0xFF), static_cast<int>(packed >> 8 & 0xFF),
            static_cast<int>(packed >> 16 & 0xFF)};
}

// Two models in two windows with spectra of their own colours.
class AdapterElementColors : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host::ModelBuilder plate("Plate");
        plate.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
        host::ModelBuilder other("Other");
        other.part("Other").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
        host::WindowBuilder(plate).colors({kLow, kHigh}).range(0.0f, 10.0f);
        otherWindow = host::WindowBuilder(other).colors({0x00FFFFFFu, 0x00FFFFFFu}).range(0.0f, 10.0f);
        adapter.params.model = plate;
    }

    static constexpr uint32_t kLow = 0x00C08040u;
    static constexpr uint32_t kHigh = 0x00102030u;
    WindowStr* otherWindow = nullptr;
    AdapterProbe adapter;
};

TEST_F(AdapterElementColors, EachValuesColourRepeatsOncePerFace) {
    float values[] = {2.0f, 7.5f};
    const std::vector<int> colors = adapter.getPerElementColors(values, 2, 0, 6);
    ASSERT_EQ(colors.size(), 36u);
    for (int face = 0; face < 12; ++face) {
        const std::vector<int> expected = bytesOf(face < 6 ? kLow : kHigh);
        EXPECT_EQ(std::vector<int>(colors.begin() + 3 * face, colors.begin() + 3 * face + 3), expected)
            << "face " << face;
    }
}

TEST_F(AdapterElementColors, TheSpectrumIsThatOfTheWindowShowingTheModelNotTheExportedOne) {
    adapter.params.window = otherWindow;
    float values[] = {9.0f};
    EXPECT_EQ(adapter.getPerElementColors(values, 1, 12345, 1), bytesOf(kHigh));
}

TEST_F(AdapterElementColors, NoValuesOrNoFacesGiveNoColours) {
    float values[] = {1.0f};
    EXPECT_TRUE(adapter.getPerElementColors(values, 0, 0, 6).empty());
    EXPECT_TRUE(adapter.getPerElementColors(nullptr, -2, 0, 6).empty());
    EXPECT_TRUE(adapter.getPerElementColors(values, 1, 0, 0).empty());
}

TEST_F(AdapterElementColors, AModelNoWindowShowsStillGetsOneColourPerFace) {
    host::ModelBuilder hidden("Hidden");
    adapter.params.model = hidden;
    float values[] = {1.0f, 2.0f};
    const std::vector<int> colors = adapter.getPerElementColors(values, 2, 0, 4);
    ASSERT_EQ(colors.size(), 24u);
    for (size_t i = 3; i < colors.size(); ++i)
        EXPECT_EQ(colors[i], colors[i % 3]) << "every face the same neutral colour";
}

// The appearance of one shape of a part, written into a shape as the part writers do.
class AdapterAppearance : public AdapterSceneTest {
protected:
    void SetUp() override {
        AdapterSceneTest::SetUp();
        host::ModelBuilder model("Plate");
        part = model.part("Plate")
                   .nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                   .elements(FE_MESH_TRIA3, {0, 1, 2})
                   .color(3)
                   .handle();
        record.values = values;
        record.textureWidth = 2;
        record.texturePixels = pixels;
        record.minValue = -1.0f;
        record.maxValue = 3.0f;
        adapter.contourInfo = &record;
    }
    std::string appearanceOf(int opacity) {
        static_cast<host::Part*>(part)->opacity = opacity;
        globalVRMLWriter.beginShape();
        adapter.exportAppearances(part);
        globalVRMLWriter.closeBrace();
        return body();
    }

    FePartStr* part = nullptr;
    ZVRMLAdapter::_ContourExportInfoStr record;
    const float values[3] = {0.0f, 1.0f, 2.0f};
    const unsigned char pixels[8] = {255, 0, 0, 255, 0, 0, 255, 255};
};

TEST_F(AdapterAppearance, TheMaterialIsThePartsColourAndItsOpacityTurnedIntoTransparency) {
    float red, green, blue;
    zgl_get_rgb_floats(3, red, green, blue);
    GuString r, g, b;
    r.FromFloat(red, -1);
    g.FromFloat(green, -1);
    b.FromFloat(blue, -1);
    GuConversionAllocator narrow;
    const std::string diffuse = std::string("diffuseColor\t ") + narrow.UnicodeToAnsi(r.GetBuffer()) +
                                " " + narrow.UnicodeToAnsi(g.GetBuffer()) + " " +
                                narrow.UnicodeToAnsi(b.GetBuffer());
    const std::string text = appearanceOf(128);
    EXPECT_NE(text.find(diffuse + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("transparency\t 0.5"), std::string::npos) << "127/255 to one decimal";
    EXPECT_EQ(text.find("texture"), std::string::npos) << "no contours on the part";
}

TEST_F(AdapterAppearance, OpaquePartsHaveTransparency0AndInvisibleOnes1) {
    EXPECT_NE(appearanceOf(255).find("transparency\t 0.0"), std::string::npos);
    ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    EXPECT_NE(appearanceOf(0).find("transparency\t 1.0"), std::string::npos);
}

TEST_F(AdapterAppearance, NodeContoursGetTheSpectrumTextureOverTheRecordsRange) {
    adapter.partHasContours = true;
    const std::string text = appearanceOf(255);
    EXPECT_NE(text.find("texture DEF pixmap PixelTexture { image 2 1 3"), std::string::npos) << text;
    EXPECT_NE(text.find("0xff0000 "), std::string::npos);
    EXPECT_NE(text.find("0x0000ff "), std::string::npos);
    EXPECT_NE(text.find("scale\t0.25 1.0"), std::string::npos) << "1 / (3 - -1)";
    EXPECT_NE(text.find("translation\t1"), std::string::npos) << "-minValue";
}

TEST_F(AdapterAppearance, ElementContoursAndRecordsWithoutValuesGetNoTexture) {
    adapter.partHasContours = true;
    record.valuesPerElement = 1;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "per-face colours instead";

    ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    record.valuesPerElement = 0;
    record.values = nullptr;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "a record that was not filled";

    ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    adapter.contourInfo = nullptr;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "no record at all";
}

}  // namespace
