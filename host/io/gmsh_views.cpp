#include "gmsh_views.h"

#include "field_roles.h"
#include "gmsh_part_names.h"
#include "gmsh_session.h"
#include "gmsh_view_data.h"

#include <gmsh.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace host::io {
namespace {

enum class Use { Field, Deformation, Failure };

struct ViewHeader {
    int tag;
    std::string name;
    int steps;
};

// One view's values as the host uses them, step by step.
struct ViewValues {
    std::string name;
    Use use = Use::Field;
    ValueLocation location = ValueLocation::Node;
    int components = 1;
    std::vector<std::vector<float>> steps;  // an empty one: the step gives no data
    std::vector<double> times;              // per step
    std::size_t missing = 0;                // the most values one step lacks
};

std::vector<ViewHeader> viewHeaders() {
    std::vector<ViewHeader> headers;
    const GmshReport report = runGmsh([&] {
        std::vector<int> tags;
        gmsh::view::getTags(tags);
        for (const int tag : tags) {
            const std::string options = "View[" + std::to_string(gmsh::view::getIndex(tag)) + "].";
            ViewHeader header{tag, {}, 0};
            double steps = 0;
            gmsh::option::getString(options + "Name", header.name);
            gmsh::option::getNumber(options + "NbTimeStep", steps);
            header.steps = static_cast<int>(steps);
            if (header.name.empty()) header.name = "View " + std::to_string(tag);
            headers.push_back(std::move(header));
        }
    });
    if (report.failed()) throw ModelReadError("Gmsh cannot list its views: " + report.summary());
    return headers;
}

// Decides what the host makes of a view from its first step with data; false: nothing.
bool classify(ViewValues& view, const ViewStep& data, bool& deformationTaken, const ReadOptions& options,
              ReadNotes& notes) {
    const bool nodes = data.dataType == "NodeData", elements = data.dataType == "ElementData";
    if (!nodes && !elements && data.dataType != "ElementNodeData") {
        notes.lines.push_back("left out view " + inQuotes(view.name) + ": the host shows no " + data.dataType);
        return false;
    }
    view.components = data.components;
    const FieldRole role = roleOf({view.name, data.components, nodes}, options);
    if (role == FieldRole::Deformation && !deformationTaken) {
        view.use = Use::Deformation;
        deformationTaken = true;
        notes.deformedBy = view.name;
        return true;
    }
    view.location = elements ? ValueLocation::Element : ValueLocation::Node;
    if (role == FieldRole::Failure && elements) {
        notes.failuresFrom = view.name;
        view.use = Use::Failure;
        return true;
    }
    if (data.components != 1 && data.components != 3 && data.components != 9) {
        notes.lines.push_back("left out view " + inQuotes(view.name) + ": its values have " + std::to_string(data.components) +
                              " components, neither a scalar (1), a vector (3) nor a tensor (9)");
        return false;
    }
    return true;
}

template <typename Reduce>
std::vector<float> gather(const std::vector<std::ptrdiff_t>& positions, const ViewStep& data, Reduce reduce,
                          std::size_t& missing) {
    std::vector<float> values(positions.size(), 0.0f);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] == kNoValue) ++missing;
        else values[i] = reduce(data.value(positions[i]).first(static_cast<std::size_t>(data.components)));
    }
    return values;
}

// One step's values for the host: displacements (x y z per model node), failure flags or field values.
std::vector<float> stepValues(ViewValues& view, const GmshMesh& mesh, const ViewStep& data) {
    std::size_t missing = 0;
    std::vector<float> values;
    if (view.use == Use::Deformation) {
        const std::vector<std::ptrdiff_t> positions = nodeValuePositions(mesh, data);
        values.assign(3 * positions.size(), 0.0f);
        for (std::size_t node = 0; node < positions.size(); ++node) {
            if (positions[node] == kNoValue) {
                ++missing;
                continue;
            }
            const std::span<const double> value = data.value(positions[node]);
            std::transform(value.begin(), value.begin() + 3, values.begin() + 3 * node, toFloat);
        }
    } else if (view.use == Use::Failure) {
        values = gather(elementValuePositions(mesh, data), data, [](std::span<const double> value) {
            return std::any_of(value.begin(), value.end(), [](double v) { return v != 0.0 && !std::isnan(v); }) ? 1.0f : 0.0f;
        }, missing);
    } else if (data.dataType == "ElementNodeData") {
        NodeAverages averages = averageAtNodes(mesh, data);
        values = std::move(averages.values);
        missing = averages.missing;
    } else {
        const auto positions = view.location == ValueLocation::Node ? nodeValuePositions(mesh, data)
                                                                    : elementValuePositions(mesh, data);
        values = gather(positions, data, fieldValue, missing);
    }
    view.missing = std::max(view.missing, missing);
    return values;
}

std::optional<ViewValues> readView(const GmshMesh& mesh, const ViewHeader& header, bool& deformationTaken,
                                   const ReadOptions& options, ReadNotes& notes) {
    ViewValues view;
    view.name = header.name;
    bool classified = false;
    for (int step = 0; step < header.steps; ++step) {
        ViewStep data;
        const GmshReport report = runGmsh([&] {
            gmsh::view::getHomogeneousModelData(header.tag, step, data.dataType, data.tags, data.data, data.time,
                                                data.components);
        });
        if (report.failed()) {
            notes.lines.push_back("left out view " + inQuotes(view.name) + ": " + report.summary());
            return std::nullopt;
        }
        view.times.push_back(data.time);
        if (data.tags.empty() || data.components < 1) {
            view.steps.emplace_back();
            continue;
        }
        if (!classified && !classify(view, data, deformationTaken, options, notes)) return std::nullopt;
        classified = true;
        view.steps.push_back(stepValues(view, mesh, data));
    }
    if (classified) return view;
    notes.lines.push_back("left out view " + inQuotes(view.name) + ": it holds no values");
    return std::nullopt;
}

// Frame k's time: that of step k of the first view with data there; else the frame before's.
std::vector<float> frameTimes(const std::vector<ViewValues>& views, std::size_t frameCount) {
    std::vector<float> times(frameCount, 0.0f);
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        if (frame > 0) times[frame] = times[frame - 1];
        const auto given = std::find_if(views.begin(), views.end(), [frame](const ViewValues& view) {
            return frame < view.steps.size() && !view.steps[frame].empty();
        });
        if (given != views.end()) times[frame] = toFloat(given->times[frame]);
    }
    return times;
}

// A view's values at every frame: a step without data, and every frame after its last step,
// holds the step before (zeros before its first data).
std::vector<std::vector<float>> heldFrames(ViewValues& view, std::size_t frameCount) {
    // A model whose elements all were left out has no values to hold.
    const auto first = std::find_if(view.steps.begin(), view.steps.end(), [](const auto& s) { return !s.empty(); });
    std::vector<float> held(first == view.steps.end() ? 0 : first->size(), 0.0f);
    std::vector<std::vector<float>> frames;
    frames.reserve(frameCount);
    for (std::size_t frame = 0; frame < frameCount; ++frame) {
        if (frame < view.steps.size() && !view.steps[frame].empty()) held = std::move(view.steps[frame]);
        frames.push_back(held);
    }
    return frames;
}

// Each element fails at the first frame any failure view flags it in, and stays failed: the host
// has no way back. Returns how many elements the view flags and then no longer flags.
std::size_t addFailures(std::vector<int>& fails, const std::vector<std::vector<float>>& frames) {
    fails.resize(frames.front().size(), kNever);
    std::vector<bool> flagged(fails.size(), false), cleared(fails.size(), false);
    for (std::size_t frame = 0; frame < frames.size(); ++frame)
        for (std::size_t element = 0; element < fails.size(); ++element) {
            if (frames[frame][element] != 0.0f) {
                fails[element] = std::min(fails[element], static_cast<int>(frame));
                flagged[element] = true;
            } else if (flagged[element]) {
                cleared[element] = true;
            }
        }
    return static_cast<std::size_t>(std::count(cleared.begin(), cleared.end(), true));
}

std::vector<std::vector<float>> deformedFrames(const GmshMesh& mesh, std::vector<std::vector<float>> frames) {
    for (std::vector<float>& xyz : frames) {
        std::size_t node = 0;
        for (const MeshPart& part : mesh.parts)
            for (const int gmshNode : part.nodes) {
                for (std::size_t axis = 0; axis < 3; ++axis)
                    xyz[3 * node + axis] += toFloat(mesh.coordinates[3 * static_cast<std::size_t>(gmshNode) + axis]);
                ++node;
            }
    }
    return frames;
}

}  // namespace

GmshResults readGmshViews(const GmshMesh& mesh, const ReadOptions& options, ReadNotes& notes) {
    std::vector<ViewValues> views;
    bool deformationTaken = false;
    for (const ViewHeader& header : viewHeaders())
        if (std::optional<ViewValues> view = readView(mesh, header, deformationTaken, options, notes)) views.push_back(std::move(*view));

    std::size_t frameCount = 1;
    for (const ViewValues& view : views) frameCount = std::max(frameCount, view.steps.size());
    GmshResults results;
    results.times = frameTimes(views, frameCount);

    std::vector<std::string> fieldNames;
    for (const ViewValues& view : views)
        if (view.use == Use::Field) fieldNames.push_back(view.name);
    numberRepeatedNames(fieldNames);
    auto fieldName = fieldNames.begin();

    for (ViewValues& view : views) {
        if (view.missing > 0)
            notes.lines.push_back("view " + inQuotes(view.name) + " gives no value at " + std::to_string(view.missing) +
                                  (view.location == ValueLocation::Element ? " element" : " node") +
                                  (view.missing == 1 ? "" : "s") + "; 0 stands there");
        std::vector<std::vector<float>> frames = heldFrames(view, frameCount);
        switch (view.use) {
            case Use::Field:
                notes.fieldComponents[*fieldName] = view.components;
                results.fields.push_back({*fieldName++, view.location, std::move(frames), nullptr});
                break;
            case Use::Deformation:
                notes.fieldComponents[view.name] = view.components;
                results.frameCoordinates = deformedFrames(mesh, std::move(frames));
                break;
            case Use::Failure:
                notes.fieldComponents[view.name] = view.components;
                if (const std::size_t cleared = addFailures(results.failFrames, frames); cleared > 0)
                    notes.lines.push_back("view " + inQuotes(view.name) + " returns to 0 at " + std::to_string(cleared) +
                                          (cleared == 1 ? " element" : " elements") +
                                          " after failing it; the host keeps an element failed from its first failed frame on");
                break;
        }
    }
    return results;
}

}  // namespace host::io
