#include "scene_builder.h"

#include "mesh_types.h"
#include "palette.h"
#include "session_state.h"

#include <exception>
#include <stdexcept>

namespace host {
namespace {

// Keeps the model's lists, the result's pointers and the shown frame in step after a change, or,
// within a batch, notes that the batch's end has to.
void modelChanged(ModelStr& model) {
    if (model.changeBatches > 0) {
        model.changesWaiting = true;
        return;
    }
    model.refreshPartLists();
    const int frame = currentFrame();
    if (model.hasResult && frame >= 0 && frame < model.frameCount()) model.setFrame(frame);
    for (auto& window : sessionState().windows)
        if (window->model == &model) window->refreshDisplay(frame);
}

void appendLocal(std::vector<int>& out, std::span<const int> local, int firstNode, int nodeCount, const Part& part) {
    for (int node : local) {
        if (node < 0 || node >= nodeCount)
            throw std::out_of_range("part \"" + part.name + "\": node " + std::to_string(node) +
                                    " does not exist (the part has " + std::to_string(nodeCount) + " nodes)");
        out.push_back(firstNode + node);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

PartBuilder& PartBuilder::nodes(std::span<const float> xyz) {
    if (xyz.size() % 3 != 0) throw std::invalid_argument("part \"" + m_part->name + "\": node coordinates come in threes");
    // Nodes are numbered contiguously per part: inserting after this part's nodes shifts the nodes
    // of every later part, whose connectivity is moved along.
    const int added = static_cast<int>(xyz.size() / 3);
    const int insertAt = m_part->firstNode + m_part->nodeCount;
    m_model->referenceCoords.insert(m_model->referenceCoords.begin() + 3 * static_cast<size_t>(insertAt), xyz.begin(),
                                    xyz.end());
    bool after = false;
    for (auto& part : m_model->parts) {
        if (after) {
            part->firstNode += added;
            for (auto& list : part->connectivity)
                for (int& node : list) node += added;
            for (int& node : part->lineConnectivity) node += added;
        }
        if (part.get() == m_part) after = true;
    }
    m_part->nodeCount += added;
    modelChanged(*m_model);
    return *this;
}

PartBuilder& PartBuilder::nodes(std::initializer_list<std::array<float, 3>> points) {
    std::vector<float> xyz;
    for (const auto& point : points) xyz.insert(xyz.end(), point.begin(), point.end());
    return nodes(xyz);
}

PartBuilder& PartBuilder::elements(_FePartMeshType type, std::span<const int> local) {
    if (type < 0 || type >= FE_MESH_TYPE_COUNT) throw std::invalid_argument("unknown mesh type " + std::to_string(type));
    const int perElement = kMeshTypes[type].nodesPerElement;
    if (local.size() % perElement != 0)
        throw std::invalid_argument("part \"" + m_part->name + "\": a " + kMeshTypes[type].name + " has " +
                                    std::to_string(perElement) + " nodes");
    appendLocal(m_part->connectivity[type], local, m_part->firstNode, m_part->nodeCount, *m_part);
    modelChanged(*m_model);
    return *this;
}

PartBuilder& PartBuilder::elements(_FePartMeshType type, std::initializer_list<int> local) {
    return elements(type, std::span<const int>(local.begin(), local.size()));
}

PartBuilder& PartBuilder::lines(std::span<const int> local) {
    if (local.size() % 2 != 0) throw std::invalid_argument("part \"" + m_part->name + "\": a line has 2 nodes");
    appendLocal(m_part->lineConnectivity, local, m_part->firstNode, m_part->nodeCount, *m_part);
    modelChanged(*m_model);
    return *this;
}

PartBuilder& PartBuilder::lines(std::initializer_list<int> local) {
    return lines(std::span<const int>(local.begin(), local.size()));
}

PartBuilder& PartBuilder::dimensionality(int dimension) {
    m_part->declaredDimensionality = dimension;
    modelChanged(*m_model);
    return *this;
}

PartBuilder& PartBuilder::color(int colorNumber) {
    m_part->ownColor = colorNumber;
    m_part->color = static_cast<unsigned char>(colorNumber);
    return *this;
}

PartBuilder& PartBuilder::opacity(int value) {
    m_part->opacity = value;
    return *this;
}

PartBuilder& PartBuilder::flagged(bool on) {
    m_part->state = static_cast<unsigned char>(on ? (m_part->state | 1) : (m_part->state & ~1));
    return *this;
}

PartBuilder& PartBuilder::contours(bool shown) {
    m_part->contoursShown = shown;
    modelChanged(*m_model);  // the windows paint the part for its contours
    return *this;
}

PartBuilder& PartBuilder::failsAt(_FePartMeshType type, int index, int frameIndex) {
    std::vector<int>& frames = m_part->failFrame[type];
    frames.resize(m_part->elementCount(type), kNever);
    if (index < 0 || index >= static_cast<int>(frames.size()))
        throw std::out_of_range("part \"" + m_part->name + "\": no " + kMeshTypes[type].name + " " + std::to_string(index));
    frames[index] = frameIndex;
    return *this;
}

PartBuilder& PartBuilder::switchedOff(_FePartMeshType type, int index) {
    m_part->switchedOff.insert({type, index});
    return *this;
}

// ---------------------------------------------------------------------------------------------

BatchedChanges::BatchedChanges(ModelStr& model) : m_model(model), m_exceptionsBefore(std::uncaught_exceptions()) {
    ++m_model.changeBatches;
}

BatchedChanges::~BatchedChanges() {
    if (--m_model.changeBatches > 0 || !m_model.changesWaiting) return;
    if (std::uncaught_exceptions() > m_exceptionsBefore) return;
    m_model.changesWaiting = false;
    modelChanged(m_model);
}

ModelBuilder::ModelBuilder(std::string title) : m_model(&addModel()) {
    m_model->title = std::move(title);
    m_model->times = {0.0f};
    modelChanged(*m_model);
}

PartBuilder ModelBuilder::part(std::string name) {
    auto part = std::make_unique<Part>();
    part->name = std::move(name);
    part->id = static_cast<int>(m_model->parts.size()) + 1;
    part->ownColor = part->id % kOwnColorCount;
    part->color = static_cast<unsigned char>(part->ownColor);
    part->firstNode = m_model->nodeCount();
    m_model->parts.push_back(std::move(part));
    modelChanged(*m_model);
    return PartBuilder(*m_model, *m_model->parts.back());
}

ModelBuilder& ModelBuilder::frames(std::vector<float> times) {
    m_model->times = std::move(times);
    modelChanged(*m_model);
    return *this;
}

ModelBuilder& ModelBuilder::motion(std::function<void(int, int, float*)> move) {
    m_model->motion = std::move(move);
    modelChanged(*m_model);
    return *this;
}

ModelBuilder& ModelBuilder::frameCoordinates(int frame, std::vector<float> xyz) {
    if (frame < 0) throw std::out_of_range("frame " + std::to_string(frame));
    if (static_cast<int>(m_model->frameCoords.size()) <= frame) m_model->frameCoords.resize(frame + 1);
    m_model->frameCoords[frame] = std::move(xyz);
    modelChanged(*m_model);
    return *this;
}

ModelBuilder& ModelBuilder::nodeField(std::string name, std::function<float(int, int)> value) {
    return field({std::move(name), ValueLocation::Node, {}, std::move(value)});
}

ModelBuilder& ModelBuilder::elementField(std::string name, std::function<float(int, int)> value) {
    return field({std::move(name), ValueLocation::Element, {}, std::move(value)});
}

ModelBuilder& ModelBuilder::field(Field field) {
    m_model->fields.push_back(std::move(field));
    modelChanged(*m_model);
    return *this;
}

ModelBuilder& ModelBuilder::camera(int frame, const Matrix4& matrix) {
    if (frame < 0) throw std::out_of_range("frame " + std::to_string(frame));
    while (static_cast<int>(m_model->cameras.size()) <= frame) m_model->cameras.push_back(identityMatrix());
    m_model->cameras[frame] = matrix;
    return *this;
}

ModelBuilder& ModelBuilder::withoutResult() {
    m_model->hasResult = false;
    modelChanged(*m_model);
    return *this;
}

// ---------------------------------------------------------------------------------------------

WindowBuilder::WindowBuilder(ModelStr* model) : m_window(&addWindow(*model)) { refresh(); }

WindowBuilder& WindowBuilder::refresh() {
    m_window->refreshDisplay(currentFrame());
    return *this;
}

WindowBuilder& WindowBuilder::contour(const std::string& field) {
    const int index = m_window->model->findField(field);
    if (index < 0) {
        std::string known;
        for (const Field& candidate : m_window->model->fields) known += (known.empty() ? "" : ", ") + candidate.name;
        throw std::invalid_argument("no field \"" + field + "\" in model \"" + m_window->model->title +
                                    "\" (fields: " + (known.empty() ? "none" : known) + ")");
    }
    return contour(field, m_window->model->fields[index].location);
}

WindowBuilder& WindowBuilder::contour(const std::string& field, ValueLocation display) {
    const int index = m_window->model->findField(field);
    if (index < 0) return contour(field);  // reports the unknown name
    m_window->contourShown = true;
    m_window->field = index;
    m_window->display = display;
    return refresh();
}

WindowBuilder& WindowBuilder::noContour() {
    m_window->contourShown = false;
    m_window->field = -1;
    return refresh();
}

WindowBuilder& WindowBuilder::resultName(std::string text) {
    m_window->resultName = std::move(text);
    return *this;
}

WindowBuilder& WindowBuilder::locationText(std::string text) {
    m_window->locationText = std::move(text);
    return *this;
}

WindowBuilder& WindowBuilder::bands(int count) {
    m_window->spectrum.setBandCount(count);
    return refresh();
}

WindowBuilder& WindowBuilder::colors(std::vector<uint32_t> packed) {
    m_window->spectrum.setColors(std::move(packed));
    return refresh();
}

WindowBuilder& WindowBuilder::range(float minimum, float maximum) {
    m_window->spectrum.autoRange = false;
    m_window->spectrum.minimum = minimum;
    m_window->spectrum.maximum = maximum;
    return refresh();
}

WindowBuilder& WindowBuilder::autoRange() {
    m_window->spectrum.autoRange = true;
    return refresh();
}

WindowBuilder& WindowBuilder::colorBar(bool shown) {
    m_window->spectrum.colorBarShown = shown;
    return *this;
}

WindowBuilder& WindowBuilder::cameraPosition(double x, double y, double z) {
    m_window->view.eye = {x, y, z};
    return *this;
}

WindowBuilder& WindowBuilder::noView3D() {
    m_window->hasView3D = false;
    return *this;
}

WindowBuilder& WindowBuilder::solidsAsSkin(bool shown) {
    m_window->solidsAsSkin = shown;
    for (const auto& part : m_window->model->parts) part->shownAsSkin = shown;
    modelChanged(*m_window->model);
    return *this;
}

WindowBuilder& WindowBuilder::noSpectrum() {
    m_window->hasSpectrum = false;
    return *this;
}

}  // namespace host
