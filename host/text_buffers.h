// Copying host text into the fixed-size narrow buffers of the host interface.
#pragma once

#include <cstddef>
#include <string_view>

namespace host {

// Copies `text` into `out` (capacity bytes, NUL included). Text that does not fit is cut at a
// UTF-8 character boundary, so the buffer never ends in half a character.
void copyToBuffer(std::string_view text, char* out, size_t capacity);

}  // namespace host
