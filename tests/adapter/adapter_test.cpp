// The adapter's own operations: file names of frames, the prompt line, placing the model (centre,
// camera position, the camera matrix split), appearances, failed and hidden elements, and
// infinite coordinates.
#include "adapter_probe.h"
#include "hostrender.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace {

using V3 = std::array<float, 3>;
constexpr float kInf = std::numeric_limits<float>::infinity(), kNaN = std::numeric_limits<float>::quiet_NaN();

using Adapter = testing_support::HostTest;

TEST_F(Adapter, FileNames) {
    const std::tuple<const wchar_t*, bool, int, const wchar_t*> rows[] = {
        {L"/exports/model.wrl", false, 11, L"/exports/model.wrl"}, {L"/exports/model.wrl", true, 0, L"/exports/model1.wrl"},
        {L"/exports/model.wrl", true, 11, L"/exports/model12.wrl"}, {L".wrl", true, 2, L"3.wrl"}, {L"ab", true, 0, L"1ab"},
        {L"", true, 41, L"42"}, {L"/tmp/\u00DCbung.wrl", true, 4, L"/tmp/\u00DCbung5.wrl"},
    };
    AdapterProbe adapter;
    for (const auto& [requested, allFrames, frame, expected] : rows) {
        adapter.params.fileName = GuString(requested);
        adapter.params.allFrames = allFrames;
        GuString name("left over from an earlier frame");
        EXPECT_EQ(adapter.getFilename(frame, name), 1);
        EXPECT_STREQ(name.GetBuffer(), expected);
        EXPECT_STREQ(adapter.params.fileName.GetBuffer(), requested) << "the request is unchanged";
        adapter.displayExportingInfoMessage(name);
    }
    EXPECT_EQ(host::hostLog().prompts[3], "Exporting 3.wrl...");
    EXPECT_EQ(host::hostLog().prompts[6], "Exporting /tmp/\xC3\x9C" "bung5.wrl...");
}

// The split of a camera matrix: scale per row, axis and angle of the rotation, translation.
std::tuple<V3, std::array<float, 4>, V3, std::array<double, 3>> split(std::array<std::array<double, 3>, 4> rows) {
    double m[4][4] = {};
    for (int row = 0; row < 4; ++row) std::copy(rows[row].begin(), rows[row].end(), m[row]);
    float scale[3], rotation[4], translation[3];
    AdapterProbe().getIndividualTransformationsFromMatrix(m, scale, rotation, translation);
    return {{scale[0], scale[1], scale[2]}, {rotation[0], rotation[1], rotation[2], rotation[3]},
            {translation[0], translation[1], translation[2]}, {m[0][0], m[1][1], m[2][2]}};  // the diagonal is normalised in place
}

TEST_F(Adapter, CameraMatrixSplit) {
    const float halfPi = static_cast<float>(std::numbers::pi / 2), pi = static_cast<float>(std::numbers::pi);
    const double inf = kInf;
    const std::tuple<std::array<std::array<double, 3>, 4>, V3, std::array<float, 4>, V3, std::array<double, 3>> rows[] = {
        {{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}}, {1, 1, 1}, {0, 0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
        // Quarter turns about z, x and y: each axis component comes from its own pair of entries.
        {{{{0, 3, 0}, {-3, 0, 0}, {0, 0, 3}, {7, 8, 9}}}, {3, 3, 3}, {0, 0, -1, halfPi}, {7, 8, 9}, {0, 0, 1}},
        {{{{2, 0, 0}, {0, 0, 2}, {0, -2, 0}, {0, 0, 0}}}, {2, 2, 2}, {-1, 0, 0, halfPi}, {0, 0, 0}, {1, 0, 0}},
        {{{{0, 0, -2}, {0, 2, 0}, {2, 0, 0}, {0, 0, 0}}}, {2, 2, 2}, {0, -1, 0, halfPi}, {0, 0, 0}, {0, 1, 0}},
        {{{{1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {5, inf, 1}}}, {1, 1, 1}, {0, 0, 0, pi}, {0, 0, 0}, {1, -1, -1}},
        {{{{2, 0, 0}, {0, inf, 0}, {0, 0, 2}, {0, 0, 0}}}, {1, 1, 1}, {0, 0, 0, kNaN}, {0, 0, 0}, {2, inf, 2}},  // scale 1 for inf
        {{{{1e200, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}}}, {1, 1, 1}, {0, 0, 0, kNaN}, {0, 0, 0}, {1e200, 1, 1}},
        {{{{1, 0, 0}, {0, 0, 0}, {0, 0, 1}, {kNaN, 0, 0}}}, {1, 0, 1}, {0, 0, 0, kNaN}, {kNaN, 0, 0}, {1, kNaN, 1}},  // NaN passes
    };
    const auto same = [](const auto& a, const auto& b) {
        return std::equal(a.begin(), a.end(), b.begin(), [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); });
    };
    for (const auto& [matrix, scale, rotation, translation, diagonal] : rows) {
        const auto [s, r, t, d] = split(matrix);
        EXPECT_TRUE(same(s, scale) && same(r, rotation) && same(t, translation) && same(d, diagonal))
            << s[0] << " " << r[0] << " " << r[1] << " " << r[2] << " " << r[3] << " " << t[2] << " " << d[1];
    }
}

TEST_F(Adapter, Centre) {
    const std::tuple<std::vector<float>, V3, float> rows[] = {
        {{0, 0, 0, 2, 4, 6, 4, 8, 3}, {2, 4, 3}, 8}, {{-1, -5, -3, -2, -4, -6}, {-1.5f, -4.5f, -4.5f}, -1}, {{}, {0, 0, 0}, 0},
        {{16777216.0f, 0, 0, 1, 0, 0, 1, 0, 0}, {16777216.0f / 3.0f, 0, 0}, 16777216.0f},  // single-precision sums
    };
    for (auto [coords, center, largest] : rows) {
        V3 found{-1, -1, -1};
        float foundLargest = -1;
        AdapterProbe().calculateObjectCenter(coords.data(), static_cast<int>(coords.size() / 3), foundLargest, found.data());
        EXPECT_EQ(found, center);
        EXPECT_EQ(foundLargest, largest);
    }
    host::ModelBuilder model("Bracket");
    for (const bool view : {true, false}) {
        host::WindowBuilder window(model);
        window.cameraPosition(1.5, -2, 30);
        if (!view) window.noView3D();
        std::array<double, 3> position{9, 9, 9};
        AdapterProbe().getCameraPosition(window, position.data());
        EXPECT_EQ(position, (view ? std::array<double, 3>{1.5, -2, 30} : std::array<double, 3>{}));
    }
}

// A strip of four quadrilaterals whose elements 3 and 1 fail at frames 0 and 2; 2 is switched off.
TEST_F(Adapter, FailedElements) {
    host::ModelBuilder model("Strip");
    FePartStr* strip = model.part("Strip").nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
        .elements(FE_MESH_QUAD4, {0, 1, 6, 5, 1, 2, 7, 6, 2, 3, 7, 6, 3, 4, 7, 6})
        .failsAt(FE_MESH_QUAD4, 3, 0).failsAt(FE_MESH_QUAD4, 1, 2).switchedOff(FE_MESH_QUAD4, 2).handle();
    model.frames({0.0f, 0.1f, 0.2f});
    const std::tuple<bool, int, int, std::set<int>> rows[] = {
        {false, 0, 4, {3}}, {false, 1, 4, {3}}, {false, 2, 4, {1, 3}}, {false, 2, 2, {1}}, {false, 2, -3, {}},
        {true, 0, 4, {2}}, {true, 2, 4, {2}}, {true, 2, 0, {}},
    };
    AdapterProbe adapter;
    for (const auto& [hidden, frame, count, expected] : rows)
        EXPECT_EQ((adapter.*(hidden ? &AdapterProbe::getHiddenElements : &AdapterProbe::getDeletedElements))(strip, FE_MESH_QUAD4, frame, count),
                  expected) << hidden << frame << count;
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 14) << "one call per counted element and frame";
    EXPECT_EQ(hostCalls("FePartIsElementOff"), 8);
}

TEST_F(Adapter, Infinities) {
    const float largest = std::numeric_limits<float>::max();
    const std::tuple<V3, float, V3> rows[] = {
        {{1, -kInf, 2}, 0, {0, 0, 0}}, {{kInf, 2, 3}, 4, {4, 4, 4}}, {{1, 2, kInf}, -1, {-1, -1, -1}},
        {{largest, -largest, 0}, 7, {largest, -largest, 0}}, {{0, 1, 2}, 7, {0, 1, 2}},
        {{kNaN, kInf, 2}, 5, {5, 5, 5}},  // NaN is not infinite, but the infinity after it counts
    };
    for (auto [xyz, replacement, expected] : rows) {
        AdapterProbe().checkForInfinities(xyz.data(), replacement);
        EXPECT_EQ(xyz, expected);
    }
}

using AdapterScene = AdapterSceneTest;

TEST_F(AdapterScene, Appearance) {
    host::ModelBuilder model("Plate");
    FePartStr* part = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2}).color(3).handle();
    const float values[3] = {0.0f, 1.0f, 2.0f};
    const unsigned char pixels[8] = {255, 0, 0, 255, 0, 0, 255, 255};
    ZVRMLAdapter::_ContourExportInfoStr record;
    std::tie(record.textureWidth, record.texturePixels, record.minValue, record.maxValue) = std::tuple(2, pixels, -1.0f, 3.0f);
    const auto appearanceOf = [&](int opacity, bool contours, int perElement, const float* recordValues, bool hasRecord) {
        open();
        static_cast<host::Part*>(part)->opacity = opacity;
        std::tie(adapter.partHasContours, record.valuesPerElement, record.values) = std::tuple(contours, perElement, recordValues);
        adapter.contourInfo = hasRecord ? &record : nullptr;
        adapter.exportAppearances(part);
        return body();
    };
    float red, green, blue;
    zgl_get_rgb_floats(3, red, green, blue);
    open();
    globalVRMLWriter.writeAppearance({{red, green, blue}, 0.0f}, {});
    EXPECT_EQ(appearanceOf(255, false, 0, values, true), body());
    EXPECT_NE(appearanceOf(128, false, 0, values, true).find("transparency\t 0.5"), std::string::npos);
    EXPECT_NE(appearanceOf(0, false, 0, values, true).find("transparency\t 1.0"), std::string::npos);
    EXPECT_NE(appearanceOf(255, true, 0, values, true).find("texture DEF pixmap PixelTexture { image 2 1 3\n\t\t\n\t\t0xff0000 \n\t\t0x0000ff "
                                                           "\n\t\trepeatS FALSE\n\t\trepeatT FALSE\n\t}\n\t\ttextureTransform TextureTransform {"
                                                           "\n\t\t\tscale\t0.25 1.0\n\t\t\ttranslation\t1 0.0"), std::string::npos);
    // Per-face colours instead; a record not filled; no record at all.
    for (const auto& [perElement, recordValues, hasRecord] : {std::tuple{1, values, true}, {0, nullptr, true}, {0, values, false}})
        EXPECT_EQ(appearanceOf(255, true, perElement, recordValues, hasRecord).find("texture"), std::string::npos);
}

}  // namespace
