#include "scene.h"

#include "mesh_types.h"
#include "palette.h"
#include "session_state.h"
#include "text_buffers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace host {
namespace {

// Calls visit(element, nodes) for every element of the model in the host's element-value order:
// part after part; within a part the mesh types in order, then the line elements.
template <typename Visit>
void forEachElement(const ModelStr& model, Visit visit) {
    int element = 0;
    for (const auto& part : model.parts) {
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            const int nodes = kNodesPerElement[type];
            const std::vector<int>& list = part->connectivity[type];
            for (size_t first = 0; first + nodes <= list.size(); first += nodes)
                visit(element++, std::span<const int>(list.data() + first, nodes));
        }
        const std::vector<int>& lines = part->lineConnectivity;
        for (size_t first = 0; first + 2 <= lines.size(); first += 2)
            visit(element++, std::span<const int>(lines.data() + first, 2));
    }
}

void nodeToElementValues(const ModelStr& model, const std::vector<float>& nodal, std::vector<float>& out) {
    out.assign(model.totalElementCount(), 0.0f);
    forEachElement(model, [&](int element, std::span<const int> nodes) {
        double sum = 0.0;
        for (int node : nodes) sum += nodal[node];
        out[element] = static_cast<float>(sum / static_cast<double>(nodes.size()));
    });
}

void elementToNodeValues(const ModelStr& model, const std::vector<float>& perElement, std::vector<float>& out) {
    std::vector<double> sum(model.nodeCount(), 0.0);
    std::vector<int> count(model.nodeCount(), 0);
    forEachElement(model, [&](int element, std::span<const int> nodes) {
        for (int node : nodes) {
            sum[node] += perElement[element];
            ++count[node];
        }
    });
    out.resize(sum.size());
    for (size_t node = 0; node < sum.size(); ++node)
        out[node] = count[node] > 0 ? static_cast<float>(sum[node] / count[node]) : 0.0f;
}

// The element values as a window that shows solids as their skin hands them out: a 3D part has
// one value per skin face, triangles then quadrilaterals, each its solid's; other parts keep theirs.
void skinFaceValues(ModelStr& model, const std::vector<float>& values, std::vector<float>& out) {
    out.clear();
    std::size_t first = 0;
    auto valueAt = [&values](std::size_t at) { return at < values.size() ? values[at] : 0.0f; };
    for (const auto& part : model.parts) {
        const std::size_t count = static_cast<std::size_t>(part->totalElementCount());
        if (part->shownAsSkin && part->dimensionality() == 3) {
            const Part::Skin& skin = part->outerSkin();
            for (const auto* owners : {&skin.triangleOwner, &skin.quadOwner})
                for (const ElementRef& owner : *owners) out.push_back(valueAt(first + part->valuePosition(owner)));
        } else {
            for (std::size_t element = 0; element < count; ++element) out.push_back(valueAt(first + element));
        }
        first += count;
    }
}

uint32_t packRgb(double red, double green, double blue) {
    auto byte = [](double component) {
        return static_cast<uint32_t>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
    };
    return byte(red) | byte(green) << 8 | byte(blue) << 16;
}

// Hue from 240 degrees (blue, low values) down to 0 (red, high values), full saturation.
uint32_t rainbow(int band, int bands) {
    const double hue = bands > 1 ? 240.0 * (1.0 - static_cast<double>(band) / (bands - 1)) : 240.0;
    const auto [red, green, blue] = hueToRgb(hue);
    return packRgb(red, green, blue);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Spectrum

Spectrum::Spectrum() { setBandCount(10); }

void Spectrum::setBandCount(int bands) {
    colors.clear();
    for (int band = 0; band < bands; ++band) colors.push_back(rainbow(band, bands));
}

void Spectrum::setColors(std::vector<uint32_t> packed) { colors = std::move(packed); }

void Spectrum::updateRange(const std::vector<float>& values) {
    if (!autoRange) return;
    float low = std::numeric_limits<float>::infinity();
    float high = -low;
    for (float value : values) {
        if (!std::isfinite(value)) continue;
        low = std::min(low, value);
        high = std::max(high, value);
    }
    if (low > high) low = high = 0.0f;
    minimum = low;
    maximum = high;
}

int Spectrum::bandOf(float value) const {
    const int bands = bandCount();
    if (bands == 0) return -1;
    if (std::isnan(value)) return 0;
    if (!(maximum > minimum)) return value > maximum ? bands - 1 : 0;
    const double position = (static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum);
    const double band = std::floor(position * bands);
    return static_cast<int>(std::clamp(band, 0.0, static_cast<double>(bands - 1)));
}

uint32_t Spectrum::GetColorForValue(float value) const {
    const int band = bandOf(value);
    return band < 0 ? 0u : colors[band];
}

void Spectrum::GetLevelValues(float* levels) const {
    const int bands = bandCount();
    for (int k = 0; k <= bands; ++k) {
        const double fraction = bands == 0 ? 0.0 : static_cast<double>(k) / bands;
        levels[k] = static_cast<float>(minimum + (static_cast<double>(maximum) - minimum) * fraction);
    }
    if (bands > 0) levels[bands] = maximum;
}

int Spectrum::GetColorTable(unsigned int** table) const {
    // The table is the spectrum's own; the interface hands it out writable, as the host does.
    *table = colors.empty() ? nullptr : const_cast<unsigned int*>(colors.data());
    return bandCount();
}

// ---------------------------------------------------------------------------------------------
// Texture, contour settings, view

RenderTextureAttributes* SpectrumTexture::GetSceneGivenSpectrum(const CZdbSpectrum*) { return &attributes; }

void SpectrumTexture::rebuild(int bandCount, const unsigned int* colorTable) {
    const int width = bandCount > 0 && colorTable != nullptr ? kWidth : 0;
    pixels.assign(static_cast<size_t>(width) * 4, 0);
    for (int pixel = 0; pixel < width; ++pixel) {
        const uint32_t color = colorTable[pixel * bandCount / width];
        unsigned char* rgba = &pixels[4 * static_cast<size_t>(pixel)];
        rgba[0] = color & 0xFF;
        rgba[1] = (color >> 8) & 0xFF;
        rgba[2] = (color >> 16) & 0xFF;
        rgba[3] = 0xFF;
    }
    attributes = {pixels.empty() ? nullptr : pixels.data(), width, width > 0 ? 1 : 0};
}

bool ContourSettings::ReadValue(int key, void* out) const {
    switch (key) {
        case DBS_CONTOUR_RESULT_NAME:
            copyToBuffer(window->shownResultName(), static_cast<char*>(out), DBS_TEXT_BUFFER_SIZE);
            return true;
        case DBS_CONTOUR_LOCATION_TEXT:
            copyToBuffer(window->shownLocationText(), static_cast<char*>(out), DBS_TEXT_BUFFER_SIZE);
            return true;
        default: return false;
    }
}

void View3D::GetCameraPosition(double& x, double& y, double& z) const {
    x = eye[0];
    y = eye[1];
    z = eye[2];
}

}  // namespace host

// ---------------------------------------------------------------------------------------------
// Window

WindowStr::WindowStr() { info.contour.window = this; }

bool WindowStr::computeContour(int frameIndex) {
    contourInfo = {};
    contourValues.clear();
    if (!contourShown || model == nullptr || field < 0 || field >= static_cast<int>(model->fields.size()) ||
        frameIndex < 0 || frameIndex >= model->frameCount())
        return false;
    const host::Field& source = model->fields[field];
    const std::vector<float>& stored = model->fieldValues(field, frameIndex);
    if (source.location == display)
        contourValues = stored;
    else if (display == host::ValueLocation::Element)
        host::nodeToElementValues(*model, stored, contourValues);
    else
        host::elementToNodeValues(*model, stored, contourValues);
    const std::vector<float>* shown = &contourValues;
    if (solidsAsSkin && display == host::ValueLocation::Element) {
        host::skinFaceValues(*model, contourValues, skinValues);
        shown = &skinValues;
    }
    contourInfo.values = shown->data();
    contourInfo.valueCount = static_cast<int>(shown->size());
    model->result.currentResult.resultType = field;
    return true;
}

void WindowStr::updateSpectrum() {
    spectrum.valueLocation = display == host::ValueLocation::Element ? 1 : 0;
    spectrum.updateRange(contourValues);
}

void WindowStr::refreshDisplay(int frameIndex) {
    computeContour(frameIndex);
    updateSpectrum();
    texture.rebuild(spectrum.bandCount(), spectrum.colors.data());
    paintParts();
}

void WindowStr::paintParts() {
    if (model == nullptr) return;
    const int solver = host::application().solver;
    const bool everyPart = solver == FE_SOLVER_WHOLE_MODEL_FLOW || solver == FE_SOLVER_WHOLE_MODEL_THERMAL;
    for (const auto& part : model->parts) {
        const bool byValue = contourShown && (everyPart || part->contoursShown);
        part->color = static_cast<unsigned char>(byValue ? host::kContourWhite : part->ownColor);
    }
}

std::string WindowStr::shownResultName() const {
    if (!resultName.empty()) return resultName;
    if (model != nullptr && field >= 0 && field < static_cast<int>(model->fields.size()))
        return model->fields[field].name;
    return {};
}

std::string WindowStr::shownLocationText() const {
    if (!locationText.empty()) return locationText;
    return display == host::ValueLocation::Element ? "ELEMENTS" : "NODES";
}

WindowStr* ModelStr::AppObject::GetWindow() const {
    for (const auto& window : host::sessionState().windows)
        if (window->model == model) return window.get();
    return nullptr;
}
