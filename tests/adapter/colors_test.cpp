// Per-face spectrum colours of element values, and the appearance each shape gets: the part's
// material and, for node values, the spectrum texture.
#include "adapter_probe.h"
#include "hostrender.h"

#include <cstdint>
#include <vector>

namespace {

using Colors = std::vector<int>;

using AdapterElementColors = testing_support::HostTest;

TEST_F(AdapterElementColors, EachValuesColourRepeatsOncePerFace) {
    host::ModelBuilder plate("Plate"), other("Other"), hidden("Hidden");
    // 0x00C08040 and 0x00102030 hold red in the lowest byte.
    host::WindowBuilder(plate).colors({0x00C08040u, 0x00102030u}).range(0.0f, 10.0f);
    AdapterProbe adapter;
    adapter.params.model = plate;
    adapter.params.window = host::WindowBuilder(other).colors({0xFFFFFFu, 0xFFFFFFu}).range(0.0f, 10.0f);
    float values[] = {2.0f, 7.5f};
    Colors expected;
    for (int face = 0; face < 6; ++face) expected.insert(expected.end(), {0x40, 0x80, 0xC0});
    for (int face = 0; face < 6; ++face) expected.insert(expected.end(), {0x30, 0x20, 0x10});
    EXPECT_EQ(adapter.getPerElementColors(values, 2, 12345, 6), expected)
        << "the spectrum of the window showing the model, not of the exported window";
    EXPECT_TRUE(adapter.getPerElementColors(values, 0, 0, 6).empty());
    EXPECT_TRUE(adapter.getPerElementColors(nullptr, -2, 0, 6).empty());
    EXPECT_TRUE(adapter.getPerElementColors(values, 1, 0, 0).empty());
    adapter.params.model = hidden;  // no window shows it: one neutral colour per face
    EXPECT_EQ(adapter.getPerElementColors(values, 2, 0, 4), Colors(24, 128));
}

// The appearance of one shape of a part, written into a shape as the part writers do.
class AdapterAppearance : public AdapterSceneTest {
protected:
    void SetUp() override {
        AdapterSceneTest::SetUp();
        host::ModelBuilder model("Plate");
        part = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2})
                   .color(3).handle();
        record.values = values;
        record.textureWidth = 2;
        record.texturePixels = pixels;
        record.minValue = -1.0f;
        record.maxValue = 3.0f;
        adapter.contourInfo = &record;
    }
    std::string appearanceOf(int opacity) {
        globalVRMLWriter.closeFile();
        globalVRMLWriter.reset();
        EXPECT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
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

TEST_F(AdapterAppearance, MaterialIsThePartsColourWithItsOpacityAsTransparency) {
    globalVRMLWriter.closeFile();
    globalVRMLWriter.reset();
    float red, green, blue;
    zgl_get_rgb_floats(3, red, green, blue);
    const MaterialInfo material{{red, green, blue}, 0.0f};
    ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    globalVRMLWriter.beginShape();
    globalVRMLWriter.writeAppearance(material, {});
    globalVRMLWriter.closeBrace();
    const std::string expected = body();
    EXPECT_EQ(appearanceOf(255), expected) << "no contours on the part: no texture";
    const std::pair<int, const char*> rows[] = {{255, "transparency\t 0.0"}, {128, "transparency\t 0.5"},
                                                {0, "transparency\t 1.0"}};
    for (const auto& [opacity, line] : rows) EXPECT_NE(appearanceOf(opacity).find(line), std::string::npos) << opacity;
}

TEST_F(AdapterAppearance, NodeContoursGetTheSpectrumTextureOverTheRecordsRange) {
    adapter.partHasContours = true;
    const std::string text = appearanceOf(255);
    EXPECT_NE(text.find("texture DEF pixmap PixelTexture { image 2 1 3\n\t\t\t\n\t\t\t0xff0000 \n\t\t\t0x0000ff "),
              std::string::npos) << text;
    EXPECT_NE(text.find("scale\t0.25 1.0\n\t\t\t\ttranslation\t1 0.0"), std::string::npos) << "1 / (3 - -1), -minValue";

    record.valuesPerElement = 1;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "per-face colours instead";
    record.valuesPerElement = 0;
    record.values = nullptr;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "a record that was not filled";
    adapter.contourInfo = nullptr;
    EXPECT_EQ(appearanceOf(255).find("texture"), std::string::npos) << "no record at all";
}

}  // namespace
