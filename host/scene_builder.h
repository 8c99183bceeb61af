// Setting up a host scene in a few readable lines:
//
//   host::ModelBuilder model("Bracket");
//   model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})
//        .elements(FE_MESH_QUAD4, {0, 1, 2, 3});
//   model.frames({0.0f, 0.5f, 1.0f})
//        .motion([](int frame, int, float* xyz) { xyz[2] += 0.1f * frame; })
//        .nodeField("temperature", [](int frame, int node) { return float(frame + node); });
//   host::WindowBuilder window(model);
//   window.contour("temperature").bands(5);
//   host::showFrame(2);
//
// Builders are handles on objects the session owns; they may be copied and dropped freely.
#pragma once

#include "hostmodel.h"
#include "scene.h"

#include <array>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace host {

class PartBuilder {
public:
    PartBuilder(ModelStr& model, Part& part) : m_model(&model), m_part(&part) {}

    // Adds nodes that belong to this part (x, y, z per node). A part's nodes are numbered after
    // those of the parts before it, so element connectivity here is local to the part.
    PartBuilder& nodes(std::span<const float> xyz);
    PartBuilder& nodes(std::initializer_list<std::array<float, 3>> points);
    // Adds elements of one type; node numbers local to the part, in the host's node order.
    PartBuilder& elements(_FePartMeshType type, std::span<const int> localConnectivity);
    PartBuilder& elements(_FePartMeshType type, std::initializer_list<int> localConnectivity);
    // Adds 2-node line elements, which make a part one-dimensional unless it has others.
    PartBuilder& lines(std::span<const int> localConnectivity);
    PartBuilder& lines(std::initializer_list<int> localConnectivity);
    PartBuilder& dimensionality(int dimension);  // overrides the one the elements give
    PartBuilder& color(int colorNumber);
    PartBuilder& opacity(int value);  // 0..255, 255 opaque
    PartBuilder& flagged(bool on);
    PartBuilder& contours(bool shown);
    // Element `index` of `type` fails at frame `frameIndex` and stays failed.
    PartBuilder& failsAt(_FePartMeshType type, int index, int frameIndex);
    PartBuilder& switchedOff(_FePartMeshType type, int index);

    FePartStr* handle() const { return m_part; }
    Part& part() const { return *m_part; }
    int firstNode() const { return m_part->firstNode; }

private:
    ModelStr* m_model;
    Part* m_part;
};

class ModelBuilder {
public:
    explicit ModelBuilder(std::string title);  // adds a model to the session
    explicit ModelBuilder(ModelStr& existing) : m_model(&existing) {}

    // A new part; parts keep the order in which they are added.
    PartBuilder part(std::string name);
    // Frame times: one frame per time. A model starts with one frame at time 0.
    ModelBuilder& frames(std::vector<float> times);
    // Moves node `node` at frame `frame`: receives the reference position, leaves the frame's.
    ModelBuilder& motion(std::function<void(int frame, int node, float* xyz)> move);
    // Gives the coordinates of one frame outright (x, y, z per node of the whole model).
    ModelBuilder& frameCoordinates(int frame, std::vector<float> xyz);
    // A field with one value per node, or per element in the host's element order.
    ModelBuilder& nodeField(std::string name, std::function<float(int frame, int node)> value);
    ModelBuilder& elementField(std::string name, std::function<float(int frame, int element)> value);
    ModelBuilder& field(Field field);
    ModelBuilder& camera(int frame, const Matrix4& matrix);
    ModelBuilder& withoutResult();  // a model with geometry only: no result object, no frames

    ModelStr* handle() const { return m_model; }
    operator ModelStr*() const { return m_model; }
    ModelStr& model() const { return *m_model; }

private:
    ModelStr* m_model;
};

// A model built in many steps, brought up to date once at the end. Each builder call otherwise
// refreshes the model's part lists, its shown frame and its windows at once, a pass over every
// part and node: a reader adding a model's parts one by one would make as many passes as there
// are parts. Nothing may ask the host about the model while a batch is open. Batches nest; the
// update happens when the outermost ends, unless it ends by an exception (the model is then
// being given up).
class BatchedChanges {
public:
    explicit BatchedChanges(ModelStr& model);
    ~BatchedChanges();
    BatchedChanges(const BatchedChanges&) = delete;
    BatchedChanges& operator=(const BatchedChanges&) = delete;

private:
    ModelStr& m_model;
    int m_exceptionsBefore;
};

class WindowBuilder {
public:
    explicit WindowBuilder(ModelStr* model);  // adds a window that shows `model`

    // Shows the named field, at the location it is stored (or as asked: nodal values averaged per
    // element, element values averaged at the nodes). Throws std::invalid_argument for an unknown
    // field, naming the fields there are.
    WindowBuilder& contour(const std::string& field);
    WindowBuilder& contour(const std::string& field, ValueLocation display);
    WindowBuilder& noContour();
    WindowBuilder& resultName(std::string text);    // the name the contour settings give
    WindowBuilder& locationText(std::string text);  // the location text they give
    WindowBuilder& bands(int count);
    WindowBuilder& colors(std::vector<uint32_t> packed);
    WindowBuilder& range(float minimum, float maximum);  // a fixed range
    WindowBuilder& autoRange();
    WindowBuilder& colorBar(bool shown);
    WindowBuilder& cameraPosition(double x, double y, double z);
    WindowBuilder& noView3D();
    WindowBuilder& noSpectrum();
    // Solids shown as their outer skin: the model's 3D parts are described by their skin faces,
    // and element values come one per skin face.
    WindowBuilder& solidsAsSkin(bool shown);

    WindowStr* handle() const { return m_window; }
    operator WindowStr*() const { return m_window; }
    WindowStr& window() const { return *m_window; }

private:
    WindowBuilder& refresh();
    WindowStr* m_window;
};

}  // namespace host
