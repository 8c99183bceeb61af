// The contour record of a frame, read from the exported window: the result's name and where its
// values live, the values themselves, the spectrum's range, bands and level values, and the
// one-row texture the host renders for the spectrum.
#include "ZVRMLAdapter.h"
#include "ZVRMLPackedColor.h"

#include "hostwin.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

namespace {

// The whole-model solvers: their values are per node, and the host keeps no contour settings
// database for them.
bool isWholeModelSolver(int solver) {
    return solver == FE_SOLVER_WHOLE_MODEL_FLOW || solver == FE_SOLVER_WHOLE_MODEL_THERMAL;
}

// Copies NUL-terminated text into a field of `size` bytes. Text that does not fit is cut before
// the UTF-8 character that would cross the end, so the field never ends in half a character.
void copyText(char* field, std::size_t size, const char* text) {
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length >= size) {
        length = size - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    if (length > 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

// The host recomputes the window's contour values, spectrum and texture for frame
// `frameNumber`, as its display does when the user steps to that frame.
void recomputeContours(WindowStr* window, ModelStr* model, ZDbs* settings,
                       FePostResultStr* result, CZdbSpectrum* spectrum, int frameNumber) {
    ContourUpdateStr update{};
    update.bandingMode = spectrum->GetBandingMode();
    update.flags = 0;
    result->currentState = frameNumber;
    ContourDBUpdateValues(model, settings, &update, 0);
    BlockUtilUpdateSpectrum(window);

    // The texture follows the spectrum as the update left it.
    update.colorCount = spectrum->GetColorTable(&update.colorTable);
    update.bandingMode = spectrum->GetBandingMode();
    update.rangeMode = spectrum->GetRangeMode();
    update.maximum = spectrum->GetMaximum();
    update.minimum = spectrum->GetMinimum();
    update.valueLocation = spectrum->GetValueLocation();
    ContourUpdateTexture(window, model, settings, &update);
}

}  // namespace

bool ZVRMLAdapter::GetContourData(_ContourExportInfoStr* info, int frameNumber) {
    if (params.model == nullptr || info == nullptr || params.window == nullptr) return false;
    // The parts of the frame find the record here, also when it cannot be filled: a record
    // without values then tells them to leave their contours out.
    contourInfo = info;

    CZdbSpectrum* spectrum = ApplGetSpectrum(params.window, nullptr);
    if (spectrum == nullptr) return false;
    FePostResultStr* result = MdbGetManagerObject(params.model, 0);
    if (result == nullptr) return false;
    // Read again after the update below, which replaces the host's value array.
    ContourInfoStr* contour = WindowGetContourInfo(params.window, params.model);
    if (contour->values == nullptr) return false;

    if (!isWholeModelSolver(FeGetCurrentSolver())) {
        ZDbs* settings = WindowInfoGetContour(WindowGetWinInfoPtr(params.window, params.model));
        if (settings == nullptr) return false;
        char name[DBS_TEXT_BUFFER_SIZE] = {};
        char location[DBS_TEXT_BUFFER_SIZE] = {};
        DbsVaGetValues(settings, DBS_CONTOUR_RESULT_NAME, name, DBS_CONTOUR_LOCATION_TEXT, location,
                       0);
        copyText(info->resultName, sizeof info->resultName, name);
        copyText(info->resultLocation, sizeof info->resultLocation, location);
        // The window shows the host's current frame; only an export of every frame has to bring
        // it to each frame in turn.
        if (params.allFrames)
            recomputeContours(params.window, params.model, settings, result, spectrum,
                              frameNumber);
    } else {
        copyText(info->resultName, sizeof info->resultName,
                 FePostGetResultNameFromResultType(result, result->currentResult.resultType));
        copyText(info->resultLocation, sizeof info->resultLocation, "NODES");
    }

    info->valuesPerElement = spectrum->GetValueLocation() == 1 ? 1 : 0;
    info->values = contour->values;
    const RenderTextureAttributes* texture =
        WindowGetTextureManager(params.window)->GetSceneGivenSpectrum(spectrum);
    info->texturePixels = texture->pixels;
    info->textureWidth = texture->width;
    info->minValue = spectrum->GetMinimum();
    info->maxValue = spectrum->GetMaximum();
    info->showColorBar = spectrum->IsColorBarShown();
    getSpectrumColors(spectrum, &info->levels, info->colorCount, info->spectrumColors);
    return true;
}

void ZVRMLAdapter::getSpectrumColors(CZdbSpectrum* spectrum, float** levels, int& colorCount,
                                     std::vector<int>& colors) {
    unsigned int* table = nullptr;
    colorCount = spectrum->GetColorTable(&table);

    // One level more than bands; a spectrum without bands still has its one level.
    const std::size_t levelCount = static_cast<std::size_t>(colorCount > 0 ? colorCount : 0) + 1;
    if (levelCount > std::numeric_limits<std::ptrdiff_t>::max() / sizeof(float))
        throw std::bad_alloc();
    float* filled = new float[levelCount];
    spectrum->GetLevelValues(filled);
    // The record owns its levels: a record filled twice must not keep the first array.
    delete[] *levels;
    *levels = filled;

    colors.clear();
    for (int band = 0; band < colorCount; ++band) {
        // A spectrum that reports bands but no table gives them black rather than a null read.
        appendPackedColor(colors, table != nullptr ? table[band] : 0u);
    }
}
