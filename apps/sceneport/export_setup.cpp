#include "export_setup.h"

#include "io/model_reader.h"
#include "scene_builder.h"
#include "session.h"
#include "view_presets.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace sceneport {
namespace {

template <typename Items, typename NameOf>
std::string joinedNames(const Items& items, NameOf nameOf) {
    std::string names;
    for (const auto& item : items) names += (names.empty() ? "\"" : ", \"") + nameOf(item) + "\"";
    return names.empty() ? "none" : names;
}

// A part answers to the name it has in scenes and to the one its file gave it.
bool answersTo(const host::Part& part, const std::string& name) {
    return part.name == name || (!part.sourceName.empty() && part.sourceName == name);
}

void flagParts(ModelStr& model, const std::vector<std::string>& names) {
    std::set<const host::Part*> chosen;
    for (const std::string& name : names) {
        bool found = false;
        for (const auto& part : model.parts)
            if (answersTo(*part, name)) chosen.insert(part.get()), found = true;
        if (!found) throw UsageError("--parts: no part \"" + name + "\" (parts: " + partNames(model) + ")");
    }
    for (const auto& part : model.parts)
        part->state = static_cast<unsigned char>(chosen.contains(part.get()) ? (part->state | 1) : (part->state & ~1));
}

std::array<double, 3> referenceCenter(const ModelStr& model) {
    std::array<double, 3> sum{0.0, 0.0, 0.0};
    const int nodes = model.nodeCount();
    for (int node = 0; node < nodes; ++node)
        for (int axis = 0; axis < 3; ++axis) sum[axis] += model.referenceCoords[3 * static_cast<size_t>(node) + axis];
    if (nodes > 0)
        for (double& value : sum) value /= nodes;
    return sum;
}

// The reader keeps every node within ±kLargestCoordinate; a scale outside [0, 1] can move one
// beyond, where the plug-in's single-precision sums become infinite.
void checkScale(ModelStr& model, double scale) {
    if (scale >= 0.0 && scale <= 1.0) return;
    model.deformationScale = {1.0, 1.0, 1.0};
    for (int frame = 0; frame < model.frameCount(); ++frame) {
        model.setFrame(frame);
        for (std::size_t i = 0; i < model.currentCoords.size(); ++i) {
            const double reference = model.referenceCoords[i];
            if (std::fabs(reference + scale * (model.currentCoords[i] - reference)) > host::io::kLargestCoordinate) {
                char text[32];
                std::snprintf(text, sizeof text, "%g", scale);
                throw UsageError(std::string("--scale: at ") + text + " the deformed model reaches beyond ±1e30, "
                                 "the largest coordinate a scene holds (frame " + std::to_string(frame + 1) + ")");
            }
        }
    }
}

}  // namespace

std::string partNames(const ModelStr& model) {
    return joinedNames(model.parts, [](const auto& part) { return part->name; });
}

std::string fieldNames(const ModelStr& model) {
    return joinedNames(model.fields, [](const host::Field& field) { return field.name; });
}

WindowStr& prepareHost(ModelStr& model, const ExportOptions& options) {
    const int frameCount = std::max(model.frameCount(), 1);
    if (options.frame && *options.frame > frameCount)
        throw UsageError("--frame: the model has " + std::to_string(frameCount) + " frame" +
                         (frameCount == 1 ? "" : "s") + ", numbered from 1; got " + std::to_string(*options.frame));
    if (options.contour && model.findField(*options.contour) < 0)
        throw UsageError("--contour: no field \"" + *options.contour + "\" (fields: " + fieldNames(model) + ")");
    if (!options.parts.empty()) flagParts(model, options.parts);

    checkScale(model, options.scale);
    model.deformationScale = {options.scale, options.scale, options.scale};
    const ViewPreset& view = *findViewPreset(options.view);
    if (options.keepCoordinates) {
        const host::Matrix4 camera = cameraMatrix(view, referenceCenter(model));
        host::ModelBuilder builder(model);
        for (int frame = 0; frame < frameCount; ++frame) builder.camera(frame, camera);
    } else {
        model.placement = host::framingPlacement(model.referenceCoords, cameraMatrix(view, {0.0, 0.0, 0.0}),
                                                 options.lengthUnit);
    }

    host::WindowBuilder window(&model);
    // The plug-in then asks for each 3D part's skin; the host describes the parts as it shows them.
    if (options.skinOnly) window.solidsAsSkin(true);
    if (options.bands) window.bands(*options.bands);
    if (options.range) window.range(options.range->minimum, options.range->maximum);
    if (!options.noContours && options.contour)
        window.contour(*options.contour);
    else if (!options.noContours && !model.fields.empty())
        window.contour(model.fields.front().name);
    else
        window.noContour();

    host::showFrame(options.frame ? *options.frame - 1 : frameCount - 1);
    return window.window();
}

}  // namespace sceneport
