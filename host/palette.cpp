#include "palette.h"

#include <cmath>

namespace host {
namespace {

constexpr std::array<Rgb, 16> kNamed{{
    {200, 200, 200}, {230, 25, 75},   {60, 180, 75},  {255, 225, 25}, {0, 130, 200},  {245, 130, 48},
    {145, 30, 180},  {70, 240, 240},  {240, 50, 230}, {210, 245, 60}, {250, 190, 212}, {0, 128, 128},
    {220, 190, 255}, {170, 110, 40},  {128, 0, 0},    {170, 255, 195},
}};

Rgb fromHue(double hue) {
    const auto [r, g, b] = hueToRgb(hue);
    // A little white mixed in keeps the colours readable under a viewer's lighting.
    auto byte = [](double c) { return static_cast<uint8_t>(std::lround((0.25 + 0.75 * c) * 255.0)); };
    return {byte(r), byte(g), byte(b)};
}

}  // namespace

std::array<double, 3> hueToRgb(double hue) {
    const double sector = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
    const double x = 1.0 - std::fabs(std::fmod(sector, 2.0) - 1.0);
    switch (static_cast<int>(sector)) {
        case 0: return {1, x, 0};
        case 1: return {x, 1, 0};
        case 2: return {0, 1, x};
        case 3: return {0, x, 1};
        case 4: return {x, 0, 1};
        default: return {1, 0, x};
    }
}

const std::array<Rgb, 256>& palette() {
    static const std::array<Rgb, 256> colors = [] {
        std::array<Rgb, 256> table{};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = i < kNamed.size() ? kNamed[i] : fromHue(137.50776405 * static_cast<double>(i));
        table[kContourWhite] = {255, 255, 255};
        return table;
    }();
    return colors;
}

}  // namespace host
