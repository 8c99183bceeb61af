// Elements that are not drawn: those that have failed at a frame, those the user switched off,
// and coordinate triples that cannot be drawn because they are infinite.
#include "ZVRMLAdapter.h"

#include <cmath>
#include <limits>

namespace {

// The element indices 0 .. elementCount - 1 for which the host answers non-zero; the host is
// asked once per element and frame, since its answer can change from frame to frame.
template <typename HostQuery>
std::set<int> elementsWhere(HostQuery query, FePartStr* part, _FePartMeshType meshType,
                            int frameIndex, int elementCount) {
    std::set<int> found;
    for (int element = 0; element < elementCount; ++element)
        if (query(part, meshType, element, frameIndex) != 0) found.insert(found.end(), element);
    return found;
}

}  // namespace

std::set<int> ZVRMLAdapter::getDeletedElements(FePartStr* part, _FePartMeshType meshType,
                                               int frameIndex, int elementCount) {
    return elementsWhere(FePartIsElementFailingGivenPart, part, meshType, frameIndex, elementCount);
}

std::set<int> ZVRMLAdapter::getHiddenElements(FePartStr* part, _FePartMeshType meshType,
                                              int frameIndex, int elementCount) {
    return elementsWhere(FePartIsElementOff, part, meshType, frameIndex, elementCount);
}

void ZVRMLAdapter::checkForInfinities(float* xyz, float replacement) {
    // Only a true infinity counts: NaN compares unequal and the largest float is finite.
    constexpr float infinity = std::numeric_limits<float>::infinity();
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(xyz[axis]) == infinity) {
            xyz[0] = xyz[1] = xyz[2] = replacement;
            return;
        }
    }
}
