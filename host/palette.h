// The host's 256 colour numbers, as used for part colours.
#pragma once

#include <array>
#include <cstdint>

namespace host {

struct Rgb {
    uint8_t red, green, blue;
};

// Red, green and blue (0..1) of a fully saturated hue, in degrees.
std::array<double, 3> hueToRgb(double hue);

// Colour number -> colour. The first sixteen are hand-picked to tell neighbouring parts apart;
// the rest step around the hue circle by the golden angle, so any run of numbers stays distinct.
const std::array<Rgb, 256>& palette();

}  // namespace host
