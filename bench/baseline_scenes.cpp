#include "baseline_scenes.h"

#include "ZVRMLElementKinds.h"
#include "baseline_text.h"
#include "hostwin.h"
#include "mesh_types.h"

#include <cstdint>
#include <span>
#include <vector>

namespace bench {
namespace {

// How deep the export indents each list inside a part of its one global transform.
struct ListDepths {
    int points, faces, textureCoordinates, colours;
};
constexpr ListDepths kNodeValueDepths{9, 7, 7, 0};
constexpr ListDepths kElementColourDepths{8, 4, 0, 7};

const host::Part& boxPart(const BoxModel& box) { return *box.model->parts.front(); }

std::span<const float> contourValues(WindowStr* window, ModelStr* model) {
    const ContourInfoStr* info = WindowGetContourInfo(window, model);
    return {info->values, static_cast<std::size_t>(info->values != nullptr ? info->valueCount : 0)};
}

void writePoints(BaselineFile& out, const ModelStr& model, int depth) {
    const std::vector<float>& xyz = model.currentCoords;
    for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) {
        out.tabs(depth);
        for (int axis = 0; axis < 3; ++axis) {
            out.sixDecimals(xyz[i + axis]);
            out.text(" ");
        }
        out.text("\n");
    }
}

void writeFaceList(BaselineFile& out, std::span<const int> elementNodes, int nodesPerElement,
                   std::span<const ZVRMLFace> faces, int depth) {
    for (std::size_t first = 0; first < elementNodes.size(); first += static_cast<std::size_t>(nodesPerElement)) {
        for (const ZVRMLFace& face : faces) {
            for (int corner = 0; corner < face.nodeCount; ++corner) {
                out.integer(elementNodes[first + static_cast<std::size_t>(face.positions[corner])]);
                out.text(", ");
            }
            out.text("-1,\n");
            out.tabs(depth);
        }
    }
}

void writeHexahedronFaces(BaselineFile& out, const BoxModel& box, int depth) {
    const ZVRMLElementKind& hexahedron = kVRMLElementKinds[kVRMLKindOfMeshType[FE_MESH_HEXA8]];
    writeFaceList(out, boxPart(box).connectivity[FE_MESH_HEXA8], hexahedron.nodesPerElement, hexahedron.faces, depth);
}

void writeTextureCoordinates(BaselineFile& out, std::span<const float> values, int depth) {
    for (const float value : values) {
        out.text("\n");
        out.tabs(depth);
        out.shortest(value);
        out.text(" 0,");
    }
}

}  // namespace

long long writeFullBaseline(const BoxModel& box, const std::string& path) {
    BaselineFile out(path);
    writePoints(out, *box.model, kNodeValueDepths.points);
    writeHexahedronFaces(out, box, kNodeValueDepths.faces);
    writeTextureCoordinates(out, contourValues(box.nodeWindow, box.model), kNodeValueDepths.textureCoordinates);
    out.close();
    return out.bytes();
}

long long writeSkinBaseline(const BoxModel& box, const std::string& path) {
    BaselineFile out(path);
    writePoints(out, *box.model, kNodeValueDepths.points);
    const ZVRMLElementKind& quadrilateral = kVRMLElementKinds[kVRMLKindOfMeshType[FE_MESH_QUAD4]];
    host::Part& part = *box.model->parts.front();
    writeFaceList(out, part.outerSkin().quads, 4, quadrilateral.faces, kNodeValueDepths.faces);
    writeTextureCoordinates(out, contourValues(box.nodeWindow, box.model), kNodeValueDepths.textureCoordinates);
    out.close();
    return out.bytes();
}

std::vector<int> elementColours(const BoxModel& box) {
    const CZdbSpectrum* spectrum = ApplGetSpectrum(box.elementWindow, nullptr);
    std::vector<int> colours;
    for (const float value : contourValues(box.elementWindow, box.model)) {
        // A packed host colour: red in the lowest byte, then green, then blue.
        const std::uint32_t packed = spectrum->GetColorForValue(value);
        colours.insert(colours.end(), {static_cast<int>(packed & 0xFF), static_cast<int>((packed >> 8) & 0xFF),
                                       static_cast<int>((packed >> 16) & 0xFF)});
    }
    return colours;
}

long long writeElementColourBaseline(const BoxModel& box, const std::vector<int>& colours, const std::string& path) {
    BaselineFile out(path);
    writePoints(out, *box.model, kElementColourDepths.points);
    const int facesPerElement = facesPerElementOfMeshType(FE_MESH_HEXA8);
    for (std::size_t element = 0; element + 2 < colours.size(); element += 3) {
        for (int face = 0; face < facesPerElement; ++face) {
            for (std::size_t channel = 0; channel < 3; ++channel) {
                out.shortest(static_cast<float>(colours[element + channel]) / 255.0f);
                out.text(" ");
            }
            out.text(",\n");
            out.tabs(kElementColourDepths.colours);
        }
    }
    const int faceCount = facesPerElement * static_cast<int>(colours.size() / 3);
    for (int face = 0; face < faceCount; ++face) {
        out.integer(face);
        out.text(" ");
    }
    writeHexahedronFaces(out, box, kElementColourDepths.faces);
    out.close();
    return out.bytes();
}

}  // namespace bench
