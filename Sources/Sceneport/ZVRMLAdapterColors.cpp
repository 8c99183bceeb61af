// The colouring of a shape: one spectrum colour per face for element values, and the material
// with, for node values, the spectrum as a texture.
#include "ZVRMLAdapter.h"
#include "ZVRMLPackedColor.h"
#include "ZVRMLWriter.h"

#include "hostapp.h"
#include "hostrender.h"

#include <cstddef>
#include <cstdint>

namespace {

// What a face gets when no window shows the model, so there is no spectrum to ask: one colour
// for every face, so the colour list still matches the faces written.
constexpr std::uint32_t kNoSpectrumColor = kVRMLNeutralGrey * 0x010101u;

// The spectrum of the window that shows `model`; that window need not be the exported one.
const CZdbSpectrum* spectrumShowing(ModelStr* model) {
    IZEModelObject* object = zeapputl::GetAppRoot()->GetModelObject(model);
    if (object == nullptr) return nullptr;
    WindowStr* window = object->GetWindow();
    return window != nullptr ? ApplGetSpectrum(window, nullptr) : nullptr;
}

}  // namespace

std::vector<int> ZVRMLAdapter::getPerElementColors(float* values, int count, int /*reserved*/,
                                                   int facesPerElement) {
    std::vector<int> colors;
    const CZdbSpectrum* spectrum = spectrumShowing(params.model);
    if (count < 1) return colors;

    if (facesPerElement > 0)
        colors.reserve(3 * static_cast<std::size_t>(count) * static_cast<std::size_t>(facesPerElement));
    for (int element = 0; element < count; ++element) {
        const std::uint32_t packed =
            spectrum != nullptr ? spectrum->GetColorForValue(values[element]) : kNoSpectrumColor;
        for (int face = 0; face < facesPerElement; ++face) appendPackedColor(colors, packed);
    }
    return colors;
}

void ZVRMLAdapter::exportAppearances(FePartStr* part) {
    MaterialInfo material;
    zgl_get_rgb_floats(part->color, material.diffuseColor[0], material.diffuseColor[1],
                       material.diffuseColor[2]);
    // The host's setting is an opacity, 255 opaque; VRML wants a transparency, 0 opaque.
    const std::uint32_t opacity = static_cast<std::uint32_t>(DrawGetTransparency(part));
    material.transparency = static_cast<float>(255u - opacity) / 255.0f;

    // Node values colour through the spectrum texture; element values through per-face colours,
    // which the face set carries. A record without values colours nothing.
    TextureInfo texture;
    const _ContourExportInfoStr* record = contourInfo;
    if (partHasContours && record != nullptr && record->values != nullptr &&
        record->valuesPerElement == 0) {
        texture.width = record->textureWidth;
        texture.pixels = record->texturePixels;
        texture.minValue = record->minValue;
        texture.maxValue = record->maxValue;
        texture.enabled = true;
    }
    globalVRMLWriter.writeAppearance(material, texture);
}
