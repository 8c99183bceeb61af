// hostwin: the host's window blocks.
#pragma once

struct WindowStr;

// Brings the window's spectrum up to date with its contour values: an automatic range is taken
// from the values again, and the level values follow the range.
void BlockUtilUpdateSpectrum(WindowStr* window);
