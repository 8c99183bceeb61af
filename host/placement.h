// How the host presents a model's node coordinates to the plug-in, and where its cameras put the
// model. The plug-in's scenes fix the viewpoint (over the model's centre, at twice its largest
// coordinate, looking down -z) and hang the legend 35 units in front of the viewer; a model a
// few units or many kilometres across, or far from the origin, would be out of view or in front
// of the legend. So the host presents coordinates centred on the origin in a power-of-ten unit
// that makes the model tens of units across, and its camera for each frame places the model
// whole in view and behind the legend. Turning the model (the scene's sphere sensor) turns it
// about its own centre, so it stays in view.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

namespace host {

using Matrix4 = std::array<std::array<double, 4>, 4>;

struct Placement {
    double unit = 1.0;                            // scene units per file unit
    std::array<double, 3> offset{0.0, 0.0, 0.0};  // subtracted, in file units, before `unit`
    // With a framing view, each frame's camera is computed from the frame's coordinates:
    // `view`'s rotation, then a translation that puts the model in front of the viewpoint.
    bool framesView = false;
    Matrix4 view{};
    double radius = 0.0;  // of the reference model about its centre, in scene units

    bool presentsFileCoordinates() const {
        return unit == 1.0 && offset == std::array<double, 3>{0.0, 0.0, 0.0};
    }
};

// The placement that frames the model whose reference coordinates are `xyz` (x, y, z per node):
// centred on the centre of its bounding box, in the power of ten of the file's unit that makes
// its radius 20 to 200 scene units, or in `fixedUnit` file units per scene unit when given.
// `view`'s rotation turns the model for every frame.
Placement framingPlacement(std::span<const float> xyz, const Matrix4& view, std::optional<double> fixedUnit = {});

// The camera of a frame whose presented coordinates are `xyz`: the rotation of `placement.view`
// about the model's centre, moved so that the model's bounding sphere stands wholly in view of
// the scene's viewpoint and beyond the legend.
Matrix4 framingCamera(const Placement& placement, std::span<const float> xyz);

// "1 scene unit = 0.001 file units, offset (x, y, z) subtracted", for notes and `info`.
std::string placementText(const Placement& placement);

}  // namespace host
