// hostrender: the host's colours and prompt line.
#pragma once

// The red, green and blue components (0..1) of host colour number `colorIndex` (0..255).
// Returns 0; an index outside 0..255 returns -1 and gives the colour of index 0.
int zgl_get_rgb_floats(int colorIndex, float& red, float& green, float& blue);

// Replaces the text of the host's prompt line (the progress display). No line break is added.
void LumoPromptSetSimple(const char* text);
