#include "expected_geometry.h"

#include "mesh_types.h"

#include <algorithm>

namespace testing_support {

ExpectedGeometry exportedGeometry(const ModelStr& model, int frameIndex, ContourTexture texture,
                                  std::span<const std::string> parts) {
    ExpectedGeometry expected;
    expected.points = model.nodeCount();
    expected.textureCoordinates = texture == ContourTexture::PerNode ? model.nodeCount() : 0;
    for (const auto& part : model.parts) {
        const int dimension = part->dimensionality();
        if (dimension < 2) continue;
        if (!parts.empty() && std::find(parts.begin(), parts.end(), part->name) == parts.end()) continue;
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            if (dimension == 3 && !host::isSolid(type)) continue;
            long standing = 0;
            for (int index = 0; index < part->elementCount(type); ++index)
                standing += part->hasFailed({type, index}, frameIndex) ? 0 : 1;
            expected.polygons += standing * static_cast<long>(mesh_faces::kElementFaces[type].faces.size());
        }
    }
    return expected;
}

}  // namespace testing_support
