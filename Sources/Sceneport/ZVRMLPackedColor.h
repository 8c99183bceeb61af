// The host's packed colours: red in the lowest byte, then green, then blue; the top byte is not
// part of the colour. Colour lists hold them as three ints, 0..255 each.
#pragma once

#include <cstdint>
#include <vector>

inline void appendPackedColor(std::vector<int>& colors, std::uint32_t packed) {
    colors.insert(colors.end(), {static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                                 static_cast<int>((packed >> 16) & 0xFF)});
}
