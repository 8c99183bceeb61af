// Placing the model: the centre and largest coordinate, the viewpoint, the window's camera
// position, and the split of a camera matrix into scale, axis-angle rotation and translation.
#include "adapter_probe.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

using Matrix = std::array<std::array<double, 4>, 4>;
using V3 = std::array<float, 3>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();

struct Split {
    V3 scale;
    std::array<float, 4> rotation;
    V3 translation;
    Matrix after;  // the caller's matrix once the split has normalised its diagonal
};

Split split(Matrix matrix) {
    double m[4][4];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) m[row][column] = matrix[row][column];
    Split s;
    float scale[3], rotation[4], translation[3];
    AdapterProbe().getIndividualTransformationsFromMatrix(m, scale, rotation, translation);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) s.after[row][column] = m[row][column];
    s.scale = {scale[0], scale[1], scale[2]};
    s.rotation = {rotation[0], rotation[1], rotation[2], rotation[3]};
    s.translation = {translation[0], translation[1], translation[2]};
    return s;
}

Matrix rows(std::array<double, 3> r0, std::array<double, 3> r1, std::array<double, 3> r2, std::array<double, 3> r3 = {}) {
    return {{{r0[0], r0[1], r0[2], 0}, {r1[0], r1[1], r1[2], 0}, {r2[0], r2[1], r2[2], 0}, {r3[0], r3[1], r3[2], 1}}};
}

using AdapterPlacement = testing_support::HostTest;

TEST_F(AdapterPlacement, MatrixSplit) {
    const float halfPi = static_cast<float>(std::numbers::pi / 2), pi = static_cast<float>(std::numbers::pi);
    const struct {
        const char* name;
        Matrix matrix;
        V3 scale;
        std::array<float, 4> rotation;
        V3 translation;
        std::array<double, 3> diagonalAfter;
    } cases[] = {
        {"identity", rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}), {1, 1, 1}, {0, 0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
        {"quarter turn, scaled", rows({0, 3, 0}, {-3, 0, 0}, {0, 0, 3}, {7, 8, 9}), {3, 3, 3}, {0, 0, -1, halfPi},
         {7, 8, 9}, {0, 0, 1}},
        {"half turn", rows({1, 0, 0}, {0, -1, 0}, {0, 0, -1}), {1, 1, 1}, {0, 0, 0, pi}, {0, 0, 0}, {1, -1, -1}},
        {"infinite scale falls back to 1", rows({2, 0, 0}, {0, kInf, 0}, {0, 0, 2}), {1, 1, 1}, {0, 0, 0, kNaNf}, {0, 0, 0},
         {2, kInf, 2}},
        {"a row too long for a float", rows({1e200, 0, 0}, {0, 1, 0}, {0, 0, 1}), {1, 1, 1}, {0, 0, 0, kNaNf}, {0, 0, 0},
         {1e200, 1, 1}},
        {"infinite translation goes to the origin", rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, kInf, 1}), {1, 1, 1},
         {0, 0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Split s = split(c.matrix);
        EXPECT_EQ(s.scale, c.scale);
        EXPECT_TRUE(std::equal(s.rotation.begin(), s.rotation.end(), c.rotation.begin(),
                               [](float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }));
        EXPECT_EQ(s.translation, c.translation);
        Matrix expected = c.matrix;  // only the diagonal changes
        for (int axis = 0; axis < 3; ++axis) expected[axis][axis] = c.diagonalAfter[axis];
        EXPECT_EQ(s.after, expected);
    }
    // NaN is neither infinite nor a length: it passes through.
    const Split nan = split(rows({kNaN, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, kNaN, 1}));
    EXPECT_TRUE(std::isnan(nan.scale[0]) && std::isnan(nan.rotation[3]) && std::isnan(nan.translation[1]));
    EXPECT_EQ(nan.translation[0], 5.0f);
    const Split zeroRow = split(rows({1, 0, 0}, {0, 0, 0}, {0, 0, 1}));
    EXPECT_EQ(zeroRow.scale, (V3{1, 0, 1}));
    EXPECT_TRUE(std::isnan(zeroRow.after[1][1]) && std::isnan(zeroRow.rotation[3]));
}

TEST_F(AdapterPlacement, AnyScaledRotationGivesBackItsAxisAngleAndScale) {
    std::mt19937 random(20261205);
    std::uniform_real_distribution<double> component(-1.0, 1.0), angle(0.1, 3.0), scale(0.2, 5.0);
    for (int trial = 0; trial < 20; ++trial) {
        std::array<double, 3> axis{component(random), component(random), component(random)};
        const double length = std::hypot(axis[0], axis[1], axis[2]);
        for (double& a : axis) a /= length;
        const double turn = angle(random), f = scale(random);
        const double c = std::cos(turn), s = std::sin(turn), t = 1 - c;
        const auto [x, y, z] = axis;
        const Split result = split(rows({f * (t * x * x + c), f * (t * x * y - s * z), f * (t * x * z + s * y)},
                                        {f * (t * x * y + s * z), f * (t * y * y + c), f * (t * y * z - s * x)},
                                        {f * (t * x * z - s * y), f * (t * y * z + s * x), f * (t * z * z + c)}));
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(result.scale[i], f, 1e-5 * f) << trial;
            EXPECT_NEAR(result.rotation[i], axis[i], 1e-5) << trial;
        }
        EXPECT_NEAR(result.rotation[3], turn, 1e-5) << trial;
    }
}

TEST_F(AdapterPlacement, CentreIsTheMeanAndLargestTheGreatestSignedCoordinate) {
    const struct {
        std::vector<float> coords;
        V3 center;
        float largest;
    } cases[] = {
        {{0, 0, 0, 2, 4, 6, 4, 8, 3}, {2, 4, 3}, 8},
        {{-1, -5, -3, -2, -4, -6}, {-1.5f, -4.5f, -4.5f}, -1},
        {{3, -7, 2.5f}, {3, -7, 2.5f}, 3},
        {{}, {0, 0, 0}, 0},
        // Sums accumulate in single precision: 2^24 + 1 is 2^24.
        {{16777216.0f, 0, 0, 1, 0, 0, 1, 0, 0}, {16777216.0f / 3.0f, 0, 0}, 16777216.0f},
    };
    for (auto c : cases) {
        V3 center{-1, -1, -1};
        float largest = -1;
        AdapterProbe().calculateObjectCenter(c.coords.data(), static_cast<int>(c.coords.size() / 3), largest, center.data());
        EXPECT_EQ(center, c.center);
        EXPECT_EQ(largest, c.largest);
    }
}

TEST_F(AdapterPlacement, CameraPositionComesFromTheWindowsViewOrIsTheOrigin) {
    host::ModelBuilder model("Bracket");
    for (const bool view : {true, false}) {
        host::WindowBuilder window(model);
        window.cameraPosition(1.5, -2, 30);
        if (!view) window.noView3D();
        double position[3] = {9, 9, 9};
        AdapterProbe().getCameraPosition(window, position);
        const std::vector<double> expected = view ? std::vector<double>{1.5, -2, 30} : std::vector<double>(3, 0.0);
        EXPECT_EQ(std::vector<double>(position, position + 3), expected);
    }
}

using AdapterViewpoint = AdapterSceneTest;

TEST_F(AdapterViewpoint, StandsOverTheCentreAtTwiceTheLargestAndIgnoresTheCamera) {
    float center[3] = {2, 4, 3};
    const double camera[3] = {100, 200, 300};
    adapter.exportViewPoint(camera, 8.0f, center);
    EXPECT_EQ(body(), "Viewpoint { \n\tposition\t2.000000 4.000000 16.000000 \n\tfieldOfView 0.785"
                      "\n\tdescription \"Top View\"\n}");
}

}  // namespace
