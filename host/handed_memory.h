// Memory the host hands over to the plug-in, released with ZGuFree.
#pragma once

#include <cstddef>

namespace host {

// Allocates `bytes` (zeroed) and records the block as handed over.
void* handOver(size_t bytes);

template <typename T>
T* handOverArray(size_t count) {
    return static_cast<T*>(handOver(count == 0 ? 1 : count * sizeof(T)));
}

// Releases a handed-over block; false when `pointer` was not one (nothing is freed then).
bool takeBack(void* pointer);

long handedOverBlocks();
void releaseAllHandedOver();

}  // namespace host
