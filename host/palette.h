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
// The last is white, kept for parts a window colours by value.
const std::array<Rgb, 256>& palette();

// The colour of a part whose contour colours are drawn over its material. Viewers that follow
// X3D 4 multiply a texture by the material's colour where VRML 2.0 lets the texture replace it:
// over white both show the spectrum's own colours.
inline constexpr int kContourWhite = 255;
// Parts' own colours are numbered below it.
inline constexpr int kOwnColorCount = kContourWhite;

}  // namespace host
