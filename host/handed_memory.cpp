#include "handed_memory.h"

#include <cstdlib>
#include <new>
#include <unordered_set>

namespace host {
namespace {

std::unordered_set<void*>& liveBlocks() {
    static std::unordered_set<void*> blocks;
    return blocks;
}

}  // namespace

void* handOver(size_t bytes) {
    void* block = std::calloc(1, bytes);
    if (block == nullptr) throw std::bad_alloc();
    liveBlocks().insert(block);
    return block;
}

bool takeBack(void* pointer) {
    if (pointer == nullptr || liveBlocks().erase(pointer) == 0) return false;
    std::free(pointer);
    return true;
}

long handedOverBlocks() { return static_cast<long>(liveBlocks().size()); }

void releaseAllHandedOver() {
    for (void* block : liveBlocks()) std::free(block);
    liveBlocks().clear();
}

}  // namespace host
