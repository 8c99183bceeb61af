#include "text_buffers.h"

#include <cstring>

namespace host {

void copyToBuffer(std::string_view text, char* out, size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    size_t length = text.size();
    if (length > capacity - 1) {
        length = capacity - 1;
        // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

}  // namespace host
