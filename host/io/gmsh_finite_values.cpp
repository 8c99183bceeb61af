#include "gmsh_finite_values.h"

#include "gmsh_part_names.h"
#include "gmsh_view_data.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace host::io {
namespace {

bool finite(float value) { return std::isfinite(value); }
bool placeable(float coordinate) { return std::fabs(coordinate) <= kLargestCoordinate; }  // false for NaN

// How the notes say what was replaced.
const std::string kNotFinite = " not finite (NaN, infinite or beyond a float's range)";
const std::string kNotPlaceable = " not finite or beyond ±1e30, the largest a scene holds";

std::string countText(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

struct FiniteRange {
    float minimum = std::numeric_limits<float>::infinity();
    float maximum = -std::numeric_limits<float>::infinity();

    void add(float value) {
        if (!finite(value)) return;
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
    }
    bool empty() const { return minimum > maximum; }
};

FiniteRange rangeOf(const std::vector<float>& values) {
    FiniteRange range;
    for (const float value : values) range.add(value);
    return range;
}

struct Replaced {
    std::size_t values = 0;
    std::size_t frames = 0;
};

// Replaces the field's values that are not finite, frame by frame.
Replaced replaceInField(Field& field) {
    FiniteRange whole;
    for (const std::vector<float>& values : field.frames)
        for (const float value : values) whole.add(value);
    if (whole.empty()) whole = {0.0f, 0.0f};
    Replaced replaced;
    for (std::vector<float>& values : field.frames) {
        FiniteRange frame = rangeOf(values);
        if (frame.empty()) frame = whole;
        const std::size_t before = replaced.values;
        for (float& value : values) {
            if (finite(value)) continue;
            value = value > 0 ? frame.maximum : frame.minimum;  // NaN compares false: the minimum
            ++replaced.values;
        }
        if (replaced.values > before) ++replaced.frames;
    }
    return replaced;
}

// Each model node's reference position, parts one after another, as the host holds it.
std::vector<float> referencePositions(const GmshMesh& mesh) {
    std::vector<float> xyz;
    for (const MeshPart& part : mesh.parts)
        for (const int node : part.nodes)
            for (std::size_t axis = 0; axis < 3; ++axis)
                xyz.push_back(toFloat(mesh.coordinates[3 * static_cast<std::size_t>(node) + axis]));
    return xyz;
}

void replaceInPositions(const GmshMesh& mesh, std::vector<std::vector<float>>& frames, ReadNotes& notes) {
    if (frames.empty()) return;
    const std::vector<float> reference = referencePositions(mesh);
    std::size_t positions = 0, framesTouched = 0;
    for (std::vector<float>& xyz : frames) {
        const std::size_t before = positions;
        for (std::size_t node = 0; 3 * node + 2 < xyz.size() && 3 * node + 2 < reference.size(); ++node) {
            float* position = xyz.data() + 3 * node;
            if (placeable(position[0]) && placeable(position[1]) && placeable(position[2])) continue;
            std::copy_n(reference.data() + 3 * node, 3, position);
            ++positions;
        }
        if (positions > before) ++framesTouched;
    }
    if (positions > 0)
        notes.lines.push_back(countText(positions, "node position", "node positions") + " in " +
                              countText(framesTouched, "frame", "frames") +
                              (positions == 1 ? " is" : " are") + kNotPlaceable +
                              "; those nodes stay at their reference position there");
}

void replaceInTimes(std::vector<float>& times, ReadNotes& notes) {
    std::size_t replaced = 0;
    for (std::size_t frame = 0; frame < times.size(); ++frame) {
        if (finite(times[frame])) continue;
        times[frame] = frame == 0 ? 0.0f : times[frame - 1];
        ++replaced;
    }
    if (replaced > 0)
        notes.lines.push_back(countText(replaced, "frame time is", "frame times are") + kNotFinite +
                              "; each is the time of the frame before instead (0 for the first)");
}

}  // namespace

void replaceNonFiniteCoordinates(GmshMesh& mesh, ReadNotes& notes) {
    std::vector<bool> used(mesh.nodeTags.size(), false);
    for (const MeshPart& part : mesh.parts)
        for (const int node : part.nodes) used[static_cast<std::size_t>(node)] = true;
    const auto coordinate = [&mesh](std::size_t node, std::size_t axis) -> double& { return mesh.coordinates[3 * node + axis]; };

    std::array<double, 3> sum{}, count{};
    for (std::size_t node = 0; node < used.size(); ++node)
        for (std::size_t axis = 0; used[node] && axis < 3; ++axis)
            if (placeable(toFloat(coordinate(node, axis)))) sum[axis] += coordinate(node, axis), ++count[axis];

    std::size_t replaced = 0;
    for (std::size_t node = 0; node < used.size(); ++node) {
        bool changed = false;
        for (std::size_t axis = 0; used[node] && axis < 3; ++axis) {
            if (placeable(toFloat(coordinate(node, axis)))) continue;
            coordinate(node, axis) = count[axis] > 0 ? sum[axis] / count[axis] : 0.0;
            changed = true;
        }
        if (changed) ++replaced;
    }
    if (replaced > 0)
        notes.lines.push_back(countText(replaced, "node has", "nodes have") + " coordinates that are" + kNotPlaceable +
                              "; each such coordinate is the mean of the other nodes' on its axis instead");
}

void replaceNonFiniteResults(const GmshMesh& mesh, GmshResults& results, ReadNotes& notes) {
    replaceInTimes(results.times, notes);
    replaceInPositions(mesh, results.frameCoordinates, notes);
    for (Field& field : results.fields)
        if (const Replaced replaced = replaceInField(field); replaced.values > 0)
            notes.lines.push_back("field " + inQuotes(field.name) + ": " + countText(replaced.values, "value", "values") +
                                  " in " + countText(replaced.frames, "frame", "frames") +
                                  (replaced.values == 1 ? " is" : " are") + kNotFinite +
                                  "; a positive one stands as the largest finite value of its frame, a negative one "
                                  "or NaN as the smallest");
}

}  // namespace host::io
