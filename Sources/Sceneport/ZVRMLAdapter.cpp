#include "ZVRMLAdapter.h"

#include "ZVRMLSceneText.h"
#include "ZVRMLWriter.h"

#include "hostrender.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

// A record's levels hold colorCount + 1 values; a count of 0 or less still has its one level.
float* copyLevels(const float* levels, int colorCount) {
    if (levels == nullptr) return nullptr;
    const std::size_t count = static_cast<std::size_t>(colorCount > 0 ? colorCount : 0) + 1;
    float* copy = new float[count];
    std::copy_n(levels, count, copy);
    return copy;
}

}  // namespace

ZVRMLAdapter::ExportParams::ExportParams()
    : window(nullptr),
      model(nullptr),
      fileName(),
      flaggedPartsOnly(false),
      allFrames(false),
      exportContours(false),
      skinOnly(false) {}

// Member by member, in field order; defined here so that the host calls the library's copy.
ZVRMLAdapter::ExportParams::ExportParams(const ExportParams& other) = default;

ZVRMLAdapter::ExportParams::~ExportParams() {
    // The window and the model are the host's: forgetting them is all the record may do.
    window = nullptr;
    model = nullptr;
}

ZVRMLAdapter::ExportParams& ZVRMLAdapter::ExportParams::operator=(const ExportParams& other) =
    default;

ZVRMLAdapter::_ContourExportInfoStr::_ContourExportInfoStr()
    : resultName{},
      valuesPerElement(0),
      values(nullptr),
      minValue(0.0f),
      maxValue(0.0f),
      texturePixels(nullptr),
      textureWidth(0),
      resultLocation{},
      elementColors(),
      spectrumColors(),
      colorCount(0),
      levels(nullptr),
      showColorBar(0),
      contoursShown(false) {}

ZVRMLAdapter::_ContourExportInfoStr::_ContourExportInfoStr(const _ContourExportInfoStr& other)
    : valuesPerElement(other.valuesPerElement),
      values(other.values),
      minValue(other.minValue),
      maxValue(other.maxValue),
      texturePixels(other.texturePixels),
      textureWidth(other.textureWidth),
      elementColors(other.elementColors),
      spectrumColors(other.spectrumColors),
      colorCount(other.colorCount),
      levels(copyLevels(other.levels, other.colorCount)),
      showColorBar(other.showColorBar),
      contoursShown(other.contoursShown) {
    std::memcpy(resultName, other.resultName, sizeof resultName);
    std::memcpy(resultLocation, other.resultLocation, sizeof resultLocation);
}

ZVRMLAdapter::_ContourExportInfoStr& ZVRMLAdapter::_ContourExportInfoStr::operator=(
    const _ContourExportInfoStr& other) {
    if (this == &other) return *this;

    // Everything that can fail is copied first, so a failed assignment leaves the record as it
    // was instead of half assigned with a freed levels array.
    std::vector<int> elementColorsCopy(other.elementColors);
    std::vector<int> spectrumColorsCopy(other.spectrumColors);
    float* levelsCopy = copyLevels(other.levels, other.colorCount);

    std::memcpy(resultName, other.resultName, sizeof resultName);
    valuesPerElement = other.valuesPerElement;
    values = other.values;
    minValue = other.minValue;
    maxValue = other.maxValue;
    texturePixels = other.texturePixels;
    textureWidth = other.textureWidth;
    std::memcpy(resultLocation, other.resultLocation, sizeof resultLocation);
    elementColors = std::move(elementColorsCopy);
    spectrumColors = std::move(spectrumColorsCopy);
    colorCount = other.colorCount;
    delete[] levels;
    levels = levelsCopy;
    showColorBar = other.showColorBar;
    contoursShown = other.contoursShown;
    return *this;
}

ZVRMLAdapter::_ContourExportInfoStr::~_ContourExportInfoStr() { delete[] levels; }

ZVRMLAdapter::ZVRMLAdapter() : params(), partHasContours(false), contourInfo(nullptr) {}

// Defined here rather than in the class so that they are compiled into the library and exported
// with it. A copy shares the contour record the source points at; the pointer is only followed
// while a frame is being written, so sharing it is harmless.
ZVRMLAdapter::ZVRMLAdapter(const ZVRMLAdapter& other) = default;
ZVRMLAdapter::~ZVRMLAdapter() = default;
ZVRMLAdapter& ZVRMLAdapter::operator=(const ZVRMLAdapter& other) = default;

int ZVRMLAdapter::getFilename(int frameIndex, GuString& name) {
    name = params.fileName;
    if (params.allFrames) {
        GuString frameNumber;
        frameNumber.FromInt(frameIndex + 1, 10);
        // The number goes in front of the four-character extension; a name too short to have
        // one gets the number in front.
        const int position = name.GetLength() - 4;
        name.Insert(position > 0 ? position : 0, frameNumber.GetBuffer());
    }
    return 1;
}

void ZVRMLAdapter::displayExportingInfoMessage(const GuString& fileName) {
    GuString message(kVRMLExportingPrompt.data());
    message.Append(fileName.GetBuffer());
    message.Append(kVRMLExportingPromptEnd.data());
    GuConversionAllocator allocator;
    LumoPromptSetSimple(allocator.UnicodeToAnsi(message.GetBuffer()));
}

void ZVRMLAdapter::initialize() { globalVRMLWriter.reset(); }
