// Placing the model: the centre and largest coordinate, the viewpoint, the window's camera
// position, and the split of a camera matrix into scale, axis-angle rotation and translation.
#include "adapter_probe.h"
#include "scene_builder.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

using Matrix = std::array<std::array<double, 4>, 4>;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Split {
    std::array<float, 3> scale;
    std::array<float, 4> rotation;
    std::array<float, 3> translation;
    Matrix after;  // the caller's matrix once the split has normalised its diagonal
};

Split split(const Matrix& input) {
    double matrix[4][4];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) matrix[row][column] = input[row][column];
    float scale[3], rotation[4], translation[3];
    AdapterProbe().getIndividualTransformationsFromMatrix(matrix, scale, rotation, translation);
    Split result{{scale[0], scale[1], scale[2]},
                 {rotation[0], rotation[1], rotation[2], rotation[3]},
                 {translation[0], translation[1], translation[2]},
                 {}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) result.after[row][column] = matrix[row][column];
    return result;
}

Matrix rows(std::array<double, 3> r0, std::array<double, 3> r1, std::array<double, 3> r2,
            std::array<double, 3> r3 = {0, 0, 0}) {
    return {{{r0[0], r0[1], r0[2], 0}, {r1[0], r1[1], r1[2], 0}, {r2[0], r2[1], r2[2], 0},
             {r3[0], r3[1], r3[2], 1}}};
}

using AdapterMatrixSplit = testing_support::HostTest;

TEST_F(AdapterMatrixSplit, TheDesignExamples) {
    const float halfPi = static_cast<float>(std::numbers::pi / 2);
    const float pi = static_cast<float>(std::numbers::pi);
    struct Case {
        const char* name;
        Matrix matrix;
        std::array<float, 3> scale;
        std::array<float, 4> rotation;
    } cases[] = {
        {"identity", rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1}), {1, 1, 1}, {0, 0, 0, 0}},
        {"quarter turn about z", rows({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}), {1, 1, 1}, {0, 0, -1, halfPi}},
        {"uniform scale 2", rows({2, 0, 0}, {0, 2, 0}, {0, 0, 2}), {2, 2, 2}, {0, 0, 0, 0}},
        {"half turn", rows({1, 0, 0}, {0, -1, 0}, {0, 0, -1}), {1, 1, 1}, {0, 0, 0, pi}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Split s = split(c.matrix);
        EXPECT_EQ(s.scale, c.scale);
        EXPECT_EQ(s.rotation, c.rotation);
        EXPECT_EQ(s.translation, (std::array<float, 3>{0, 0, 0}));
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(s.after[axis][axis], c.matrix[axis][axis] / c.scale[axis]);
    }
}

TEST_F(AdapterMatrixSplit, OnlyTheDiagonalIsNormalisedInTheCallersMatrix) {
    const Matrix scaled = rows({0, 3, 0}, {-3, 0, 0}, {0, 0, 3}, {7, 8, 9});
    const Split s = split(scaled);
    EXPECT_EQ(s.scale, (std::array<float, 3>{3, 3, 3}));
    Matrix expected = scaled;
    expected[2][2] = 1.0;
    EXPECT_EQ(s.after, expected) << "off-diagonal entries and row 3 stay as the host gave them";
    EXPECT_EQ(s.translation, (std::array<float, 3>{7, 8, 9}));
}

// Rotating by `angle` about the unit `axis` (Rodrigues), each row then scaled by `scale`.
Matrix rotationMatrix(const std::array<double, 3>& axis, double angle, double scale) {
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const auto [x, y, z] = axis;
    return rows({scale * (t * x * x + c), scale * (t * x * y - s * z), scale * (t * x * z + s * y)},
                {scale * (t * x * y + s * z), scale * (t * y * y + c), scale * (t * y * z - s * x)},
                {scale * (t * x * z - s * y), scale * (t * y * z + s * x), scale * (t * z * z + c)});
}

TEST_F(AdapterMatrixSplit, AnyScaledRotationGivesBackItsAxisAngleAndScale) {
    std::mt19937 random(20261205);
    std::uniform_real_distribution<double> component(-1.0, 1.0), angle(0.1, 3.0), scale(0.2, 5.0);
    for (int trial = 0; trial < 20; ++trial) {
        std::array<double, 3> axis{component(random), component(random), component(random)};
        const double length = std::hypot(axis[0], axis[1], axis[2]);
        for (double& a : axis) a /= length;
        const double turn = angle(random), factor = scale(random);
        SCOPED_TRACE(testing::Message() << "trial " << trial << ", angle " << turn << ", scale " << factor);

        const Split s = split(rotationMatrix(axis, turn, factor));
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(s.scale[i], factor, 1e-5 * factor);
            EXPECT_NEAR(s.rotation[i], axis[i], 1e-5);
        }
        EXPECT_NEAR(s.rotation[3], turn, 1e-5);
    }
}

TEST_F(AdapterMatrixSplit, AnInfiniteScaleFallsBackToOne) {
    const Split s = split(rows({2, 0, 0}, {0, kInf, 0}, {0, 0, 2}));
    EXPECT_EQ(s.scale, (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(s.after[0][0], 2.0) << "the diagonal is divided by the fallback 1";
    EXPECT_EQ(s.after[2][2], 2.0);
    // A row too long for a float overflows the single-precision root as well.
    EXPECT_EQ(split(rows({1e200, 0, 0}, {0, 1, 0}, {0, 0, 1})).scale, (std::array<float, 3>{1, 1, 1}));
}

TEST_F(AdapterMatrixSplit, AnInfiniteTranslationGoesToTheOriginAndNaNPassesThrough) {
    const Matrix identity = rows({1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    Matrix infinite = identity, notANumber = identity;
    infinite[3] = {5, kInf, 1, 1};
    notANumber[3] = {5, kNaN, 1, 1};

    EXPECT_EQ(split(infinite).translation, (std::array<float, 3>{0, 0, 0}));
    const std::array<float, 3> passed = split(notANumber).translation;
    EXPECT_EQ(passed[0], 5.0f);
    EXPECT_TRUE(std::isnan(passed[1]));
    EXPECT_EQ(passed[2], 1.0f);
}

TEST_F(AdapterMatrixSplit, DegenerateRowsPassThroughArithmetically) {
    const Split zeroRow = split(rows({1, 0, 0}, {0, 0, 0}, {0, 0, 1}));
    EXPECT_EQ(zeroRow.scale, (std::array<float, 3>{1, 0, 1}));
    EXPECT_TRUE(std::isnan(zeroRow.after[1][1])) << "0 / 0 on the diagonal";
    EXPECT_TRUE(std::isnan(zeroRow.rotation[3]));

    const Split nanDiagonal = split(rows({kNaN, 0, 0}, {0, 1, 0}, {0, 0, 1}));
    EXPECT_TRUE(std::isnan(nanDiagonal.scale[0])) << "NaN is not infinite: no fallback";
    EXPECT_EQ(nanDiagonal.scale[1], 1.0f);
    EXPECT_TRUE(std::isnan(nanDiagonal.rotation[3]));
}

using AdapterObjectCenter = testing_support::HostTest;

struct Centre {
    float largest;
    std::array<float, 3> center;
};

Centre centreOf(std::vector<float> coords) {
    Centre result{-1.0f, {-1, -1, -1}};
    AdapterProbe().calculateObjectCenter(coords.data(), static_cast<int>(coords.size() / 3),
                                         result.largest, result.center.data());
    return result;
}

TEST_F(AdapterObjectCenter, CentreIsTheMeanAndLargestTheGreatestCoordinateOnAnyAxis) {
    const Centre c = centreOf({0, 0, 0, 2, 4, 6, 4, 8, 3});
    EXPECT_EQ(c.center, (std::array<float, 3>{2, 4, 3}));
    EXPECT_EQ(c.largest, 8.0f);
}

TEST_F(AdapterObjectCenter, LargestIsSignedNotAnExtent) {
    const Centre c = centreOf({-1, -5, -3, -2, -4, -6});
    EXPECT_EQ(c.largest, -1.0f);
    EXPECT_EQ(c.center, (std::array<float, 3>{-1.5f, -4.5f, -4.5f}));
}

TEST_F(AdapterObjectCenter, ASingleNodeIsItsOwnCentre) {
    const Centre c = centreOf({3, -7, 2.5f});
    EXPECT_EQ(c.center, (std::array<float, 3>{3, -7, 2.5f}));
    EXPECT_EQ(c.largest, 3.0f);
}

TEST_F(AdapterObjectCenter, NoNodesGiveTheOriginInsteadOfADivisionByZero) {
    const Centre c = centreOf({});
    EXPECT_EQ(c.center, (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(c.largest, 0.0f);
}

TEST_F(AdapterObjectCenter, SumsAccumulateInSinglePrecision) {
    // 2^24 + 1 is not a float: adding 1 to 2^24 in single precision leaves 2^24.
    const Centre c = centreOf({16777216.0f, 0, 0, 1, 0, 0, 1, 0, 0});
    EXPECT_EQ(c.center[0], 16777216.0f / 3.0f);
}

class AdapterViewpoint : public AdapterSceneTest {};

TEST_F(AdapterViewpoint, PlacesTheViewpointFromCentreAndLargestAndIgnoresTheCamera) {
    float center[3] = {2, 4, 3};
    const double camera[3] = {100, 200, 300};
    adapter.exportViewPoint(camera, 8.0f, center);
    const std::string text = body();
    EXPECT_NE(text.find("position\t2.000000 4.000000 16.000000 "), std::string::npos) << text;
    EXPECT_EQ(text.find("100"), std::string::npos) << text;
}

using AdapterCameraPosition = testing_support::HostTest;

TEST_F(AdapterCameraPosition, ComesFromTheWindowsView) {
    host::ModelBuilder model("Bracket");
    host::WindowBuilder window(model);
    window.cameraPosition(1.5, -2, 30);
    double position[3] = {9, 9, 9};
    AdapterProbe().getCameraPosition(window, position);
    EXPECT_EQ(position[0], 1.5);
    EXPECT_EQ(position[1], -2.0);
    EXPECT_EQ(position[2], 30.0);
}

TEST_F(AdapterCameraPosition, AWindowWithoutA3DViewGivesTheOrigin) {
    host::ModelBuilder model("Bracket");
    host::WindowBuilder window(model);
    window.cameraPosition(1, 2, 3).noView3D();
    double position[3] = {9, 9, 9};
    AdapterProbe().getCameraPosition(window, position);
    EXPECT_EQ(position[0], 0.0);
    EXPECT_EQ(position[1], 0.0);
    EXPECT_EQ(position[2], 0.0);
}

}  // namespace
