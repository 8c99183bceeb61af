// hostrender: colours and the prompt line.
#include "host_calls.h"
#include "host_log.h"
#include "hostrender.h"
#include "palette.h"

int zgl_get_rgb_floats(int colorIndex, float& red, float& green, float& blue) {
    HOST_CALL();
    const bool known = colorIndex >= 0 && colorIndex < 256;
    const host::Rgb color = host::palette()[known ? colorIndex : 0];
    red = color.red / 255.0f;
    green = color.green / 255.0f;
    blue = color.blue / 255.0f;
    return known ? 0 : -1;
}

void LumoPromptSetSimple(const char* text) {
    HOST_CALL();
    std::string line = text != nullptr ? text : "";
    if (const host::Display* display = host::currentDisplay(); display != nullptr && display->prompt)
        display->prompt(line);
    host::hostLog().prompts.push_back(std::move(line));
}
