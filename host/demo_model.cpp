// The demo structure (see demo_model.h). Every part is made in the structure's own axes (x along
// the plate from the clamp, y across it, z up) on a lattice of cells, and turned into the file's
// axes only when it is handed to the host. The motion and both fields are functions of the
// position in the structure's axes, so nodes that two parts place at one point stay together and
// the values follow the motion.
#include "demo_model.h"

#include "mesh_types.h"
#include "scene_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <numbers>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace host {
namespace {

using Point = std::array<float, 3>;
using Step = std::array<int, 3>;  // a lattice point, counted in cells or in half cells

Point plus(const Point& a, const Point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Point minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
float length(const Point& p) { return std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]); }
Step plus(const Step& a, const Step& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

// ---- Sizes (metres) -------------------------------------------------------------------------

constexpr float kPlateLength = 8.0f;
constexpr float kPlateWidth = 4.0f;
constexpr float kPlateCell = 0.25f;
constexpr int kPlateColumns = 32;
constexpr int kPlateRows = 16;
constexpr int kTriangleColumns = 2;  // the plate's free end is a strip of triangles

constexpr int kFlangeColumns = 24;  // the flange runs along three quarters of the plate
constexpr int kFlangeLevels = 3;
constexpr float kFlangeCell = 0.2f;

// The clamp: the plate's root is fixed to its face at x = 0, halfway up; it is wider than the plate.
constexpr Point kBlockOrigin{-1.5f, -0.5f, -1.0f};
constexpr Point kBlockCell{0.75f, 0.5f, 0.5f};
constexpr int kBlockRows = 10;
constexpr int kBlockLevels = 4;

// The bracket stands a hair above the plate, so that the viewer does not draw two faces in one
// plane: an L of a foot and an upright web, stiffened by wedges in the corner between them.
constexpr Point kBracketOrigin{5.5f, 1.0f, 0.05f};
constexpr Point kBracketCell{0.25f, 0.5f, 0.25f};
constexpr int kBracketColumns = 4;
constexpr int kBracketRows = 4;
constexpr int kWebLevels = 4;

constexpr float kAntennaLength = 2.5f;
constexpr int kAntennaSegments = 10;

// ---- Frames and loading ---------------------------------------------------------------------

constexpr int kFrameCount = 24;
constexpr float kFrameStep = 0.125f;     // seconds
constexpr float kShakePeriod = 1.5f;     // of the plate's bending and twisting
constexpr float kWhipPeriod = 0.75f;     // of the antenna's own swaying
constexpr float kSag = -0.06f;           // at the free end, under the structure's own weight
constexpr float kTipDeflection = 1.2f;   // at full load, at the free end
constexpr float kTipTwist = 0.1f;        // radians, at full load, at the free end
constexpr float kAntennaSway = 0.35f;    // at full load, at the antenna's top

// The crack's path, cell by cell (column, row) from the front edge; one cell fails per frame.
constexpr int kCrackStartFrame = 5;
constexpr std::array<std::pair<int, int>, 18> kCrackPath{{
    {4, 0}, {4, 1}, {4, 2}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {4, 5}, {4, 6},
    {4, 7}, {4, 8}, {3, 8}, {3, 9}, {3, 10}, {3, 11}, {4, 11}, {4, 12}, {4, 13},
}};

// Host palette numbers.
constexpr int kBlue = 4, kYellow = 3, kGrey = 0, kRed = 1, kOrange = 5;

// ---- Meshes on a lattice --------------------------------------------------------------------

struct Edge {
    int from, to;
};

// The edges whose mid-side nodes follow the corners, in the host's node order, for the quadratic
// types the demo uses.
constexpr std::array<Edge, 9> kPenta15Edges{{{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 5}}};
constexpr std::array<Edge, 12> kHexa20Edges{
    {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 5}, {2, 6}, {3, 7}, {4, 5}, {5, 6}, {6, 7}, {7, 4}}};

std::span<const Edge> midSideEdges(_FePartMeshType type) {
    switch (type) {
        case FE_MESH_PENTA15: return kPenta15Edges;
        case FE_MESH_HEXA20: return kHexa20Edges;
        default: return {};
    }
}

// One part's mesh in the structure's axes. Its nodes sit on a lattice of half cells and are made
// when an element first uses them, so neighbouring elements share their nodes and a quadratic
// element finds its mid-side nodes halfway along its edges.
class LatticeMesh {
public:
    LatticeMesh(Point origin, Point cell) : m_origin(origin), m_cell(cell) {}

    // Adds an element by its corners (lattice points in whole cells) in the host's node order;
    // returns its index among the part's elements of that type.
    int add(_FePartMeshType type, std::initializer_list<Step> corners) {
        std::vector<int>& list = m_connectivity[type];
        const Step* corner = corners.begin();
        for (const Step& point : corners) list.push_back(node(plus(point, point)));
        for (const Edge& edge : midSideEdges(type)) list.push_back(node(plus(corner[edge.from], corner[edge.to])));
        return static_cast<int>(list.size()) / kNodesPerElement[type] - 1;
    }

    void addLine(const Step& from, const Step& to) {
        m_lines.push_back(node(plus(from, from)));
        m_lines.push_back(node(plus(to, to)));
    }

    Point position(const Step& halfCells) const {
        Point p{};
        for (int axis = 0; axis < 3; ++axis)
            p[axis] = m_origin[axis] + m_cell[axis] * 0.5f * static_cast<float>(halfCells[axis]);
        return p;
    }

    const std::vector<Point>& nodes() const { return m_nodes; }
    const std::vector<int>& connectivity(int type) const { return m_connectivity[type]; }
    const std::vector<int>& lines() const { return m_lines; }

private:
    int node(const Step& halfCells) {
        const auto [where, added] = m_index.try_emplace(halfCells, static_cast<int>(m_nodes.size()));
        if (added) m_nodes.push_back(position(halfCells));
        return where->second;
    }

    Point m_origin, m_cell;
    std::map<Step, int> m_index;
    std::vector<Point> m_nodes;
    std::array<std::vector<int>, FE_MESH_TYPE_COUNT> m_connectivity;
    std::vector<int> m_lines;
};

// A quadrilateral from `corner` over the cell spanned by `across` and `along`.
int addQuad(LatticeMesh& mesh, const Step& corner, const Step& across, const Step& along) {
    const Step opposite = plus(plus(corner, across), along);
    return mesh.add(FE_MESH_QUAD4, {corner, plus(corner, across), opposite, plus(corner, along)});
}

// The hexahedron filling the cell whose lowest corner is `corner`.
void addHexahedron(LatticeMesh& mesh, _FePartMeshType type, const Step& c) {
    const Step top = plus(c, {0, 0, 1});
    mesh.add(type, {c, plus(c, {1, 0, 0}), plus(c, {1, 1, 0}), plus(c, {0, 1, 0}),  //
                    top, plus(top, {1, 0, 0}), plus(top, {1, 1, 0}), plus(top, {0, 1, 0})});
}

// A wedge on the rectangle first, second, second + along, first + along (counter-clockwise seen
// from the ridge), whose ridge runs from `ridge` to ridge + along.
void addWedge(LatticeMesh& mesh, _FePartMeshType type, const Step& first, const Step& second, const Step& ridge,
              const Step& along) {
    mesh.add(type, {first, second, plus(second, along), plus(first, along), ridge, plus(ridge, along)});
}

struct Failure {
    _FePartMeshType type;
    int index;
    int frame;
};

struct DemoPart {
    std::string name;
    int color;
    LatticeMesh mesh;
    std::vector<Failure> failures;
};

// ---- The parts ------------------------------------------------------------------------------

// Quadrilaterals up to a strip of triangles at the free end, whose diagonals alternate.
DemoPart basePlate() {
    DemoPart plate{"Base_plate", kBlue, LatticeMesh({0, 0, 0}, {kPlateCell, kPlateCell, 1}), {}};
    std::map<std::pair<int, int>, int> quadOfCell;
    for (int row = 0; row < kPlateRows; ++row) {
        for (int column = 0; column < kPlateColumns; ++column) {
            const Step a{column, row, 0}, b{column + 1, row, 0}, c{column + 1, row + 1, 0}, d{column, row + 1, 0};
            if (column < kPlateColumns - kTriangleColumns) {
                quadOfCell[{column, row}] = addQuad(plate.mesh, a, {1, 0, 0}, {0, 1, 0});
            } else if ((column + row) % 2 == 0) {
                plate.mesh.add(FE_MESH_TRIA3, {a, b, c});
                plate.mesh.add(FE_MESH_TRIA3, {a, c, d});
            } else {
                plate.mesh.add(FE_MESH_TRIA3, {a, b, d});
                plate.mesh.add(FE_MESH_TRIA3, {b, c, d});
            }
        }
    }
    for (size_t step = 0; step < kCrackPath.size(); ++step)
        plate.failures.push_back(
            {FE_MESH_QUAD4, quadOfCell.at(kCrackPath[step]), kCrackStartFrame + static_cast<int>(step)});
    return plate;
}

// Upright along the plate's back edge, on the plate's edge nodes.
DemoPart stiffener() {
    DemoPart flange{"Stiffener", kYellow, LatticeMesh({0, kPlateWidth, 0}, {kPlateCell, 1, kFlangeCell}), {}};
    for (int level = 0; level < kFlangeLevels; ++level)
        for (int column = 0; column < kFlangeColumns; ++column)
            addQuad(flange.mesh, {column, 0, level}, {1, 0, 0}, {0, 0, 1});
    return flange;
}

// Closes one end of the block's roof with two tetrahedra sloping down to an eave point beyond
// the block; `outward` is -1 at the front end, +1 at the back.
void addHipEnd(LatticeMesh& mesh, int row, int outward) {
    const Step ridge{1, row, kBlockLevels + 1}, eave{1, row + outward, kBlockLevels};
    for (int half : {0, 1}) {
        Step low{half, row, kBlockLevels}, high{half + 1, row, kBlockLevels};
        if (outward > 0) std::swap(low, high);  // the mirror image turns the other way round
        mesh.add(FE_MESH_TETRA4, {low, high, ridge, eave});
    }
}

// Hexahedra two cells deep under a roof of wedges whose ridge runs along the block's middle.
DemoPart block() {
    DemoPart clamp{"Block", kGrey, LatticeMesh(kBlockOrigin, kBlockCell), {}};
    for (int level = 0; level < kBlockLevels; ++level)
        for (int row = 0; row < kBlockRows; ++row)
            for (int column = 0; column < 2; ++column) addHexahedron(clamp.mesh, FE_MESH_HEXA8, {column, row, level});
    for (int row = 0; row < kBlockRows; ++row) {
        const Step ridge{1, row, kBlockLevels + 1}, along{0, 1, 0};
        addWedge(clamp.mesh, FE_MESH_PENTA6, {0, row, kBlockLevels}, {1, row, kBlockLevels}, ridge, along);
        addWedge(clamp.mesh, FE_MESH_PENTA6, {1, row, kBlockLevels}, {2, row, kBlockLevels}, ridge, along);
    }
    addHipEnd(clamp.mesh, 0, -1);
    addHipEnd(clamp.mesh, kBlockRows, +1);
    return clamp;
}

// An L of 20-node hexahedra with 15-node wedges in its inner corner.
DemoPart bracket() {
    DemoPart part{"Bracket", kOrange, LatticeMesh(kBracketOrigin, kBracketCell), {}};
    for (int row = 0; row < kBracketRows; ++row) {
        for (int column = 0; column < kBracketColumns; ++column)
            addHexahedron(part.mesh, FE_MESH_HEXA20, {column, row, 0});
        for (int level = 1; level < kWebLevels; ++level) addHexahedron(part.mesh, FE_MESH_HEXA20, {0, row, level});
        addWedge(part.mesh, FE_MESH_PENTA15, {1, row, 1}, {2, row, 1}, {1, row, 2}, {0, 1, 0});
    }
    return part;
}

// Where the antenna stands, in half cells: the middle of the top of the bracket's web.
constexpr Step kAntennaFoot{1, kBracketRows, 2 * kWebLevels};

DemoPart antenna(const LatticeMesh& bracket) {
    const Point foot = bracket.position(kAntennaFoot);
    DemoPart rod{"Antenna", kRed, LatticeMesh(foot, {1, 1, kAntennaLength / kAntennaSegments}), {}};
    for (int segment = 0; segment < kAntennaSegments; ++segment)
        rod.mesh.addLine({0, 0, segment}, {0, 0, segment + 1});
    return rod;
}

// In the model's order. The antenna comes before the bracket: an export that leaves it out then
// writes geometry after it and returns 2, which says so unmistakably (3 also means a request it
// could not run).
std::vector<DemoPart> demoParts() {
    std::vector<DemoPart> parts;
    parts.push_back(basePlate());
    parts.push_back(stiffener());
    parts.push_back(block());
    DemoPart carrier = bracket();
    parts.push_back(antenna(carrier.mesh));
    parts.push_back(std::move(carrier));
    return parts;
}

// ---- From the structure's axes to the file's ------------------------------------------------

using Matrix = std::array<Point, 3>;  // rows

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k) m[row][column] += a[row][k] * b[k][column];
    return m;
}

Matrix turnAbout(int axis, float degrees) {
    const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    Matrix m{};
    m[axis][axis] = 1.0f;
    m[u][u] = m[v][v] = std::cos(radians);
    m[u][v] = -std::sin(radians);
    m[v][u] = std::sin(radians);
    return m;
}

// An export looks down the file's -z axis with y up, from a viewpoint on the z axis at twice the
// largest coordinate, with a field of view of 45 degrees. So the structure stands up (its z
// becomes y, its front edge faces the viewer), is turned to bring its free end closer and tipped
// forward to show its top; then it is centred on the z axis and brought forward until it fills
// most of the view.
constexpr float kTurnDegrees = -20.0f;
constexpr float kTipDegrees = 45.0f;
constexpr float kFrontInHalfWidths = 1.9f;  // where the structure's front ends up on the z axis

class FileAxes {
public:
    explicit FileAxes(std::span<const DemoPart> parts) {
        constexpr Matrix standUp{{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}};
        m_turn = product(turnAbout(0, kTipDegrees), product(turnAbout(1, kTurnDegrees), standUp));
        Point low{}, high{};
        bool first = true;
        for (const DemoPart& part : parts) {
            for (const Point& node : part.mesh.nodes()) {
                const Point p = turned(node);
                for (int axis = 0; axis < 3; ++axis) {
                    low[axis] = first ? p[axis] : std::min(low[axis], p[axis]);
                    high[axis] = first ? p[axis] : std::max(high[axis], p[axis]);
                }
                first = false;
            }
        }
        const float halfWidth = (high[0] - low[0]) / 2.0f;
        m_offset = {-(low[0] + high[0]) / 2.0f, -(low[1] + high[1]) / 2.0f,
                    kFrontInHalfWidths * halfWidth - high[2]};
    }

    Point toFile(const Point& p) const { return plus(turned(p), m_offset); }
    Point toStructure(const Point& p) const { return unturned(minus(p, m_offset)); }
    Point turned(const Point& p) const {
        Point q{};
        for (int row = 0; row < 3; ++row)
            q[row] = m_turn[row][0] * p[0] + m_turn[row][1] * p[1] + m_turn[row][2] * p[2];
        return q;
    }

private:
    Point unturned(const Point& p) const {
        Point q{};
        for (int column = 0; column < 3; ++column)
            q[column] = m_turn[0][column] * p[0] + m_turn[1][column] * p[1] + m_turn[2][column] * p[2];
        return q;
    }

    Matrix m_turn{};
    Point m_offset{};
};

// ---- Motion ---------------------------------------------------------------------------------

// The structure at one time: sagging under its own weight, it is shaken by a load that grows from
// nothing to its full value at the last frame; the twist lags the bending, so the two never
// vanish together after the start.
struct Load {
    float bend;   // deflection of the plate's free end
    float twist;  // rotation of the plate's free end about its axis
    float sway;   // the antenna top's own sideways swing
};

Load loadAt(float time, float lastTime) {
    constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;
    const float ramp = time / lastTime;
    return {kSag + kTipDeflection * ramp * std::sin(twoPi * time / kShakePeriod),
            kTipTwist * ramp * std::sin(twoPi * time / kShakePeriod + 1.0f),
            kAntennaSway * ramp * std::sin(twoPi * time / kWhipPeriod)};
}

constexpr float kAntennaFootHeight = kBracketOrigin[2] + kWebLevels * kBracketCell[2];

// The displacement of the point p (structure axes). The plate bends as a cantilever under a load
// at its end and twists about its middle line; whatever stands on it turns with it, and the
// antenna sways on top of that. Nothing moves at or behind the clamp (x <= 0).
Point displacement(const Point& p, const Load& load) {
    if (p[0] <= 0.0f) return {0, 0, 0};
    const float s = std::min(p[0] / kPlateLength, 1.0f);
    const float deflection = load.bend * s * s * (3.0f - s) / 2.0f;
    const float slope = load.bend * 3.0f * s * (2.0f - s) / (2.0f * kPlateLength);
    const float angle = load.twist * s;
    const float height = std::max(p[2] - kAntennaFootHeight, 0.0f) / kAntennaLength;
    return {-p[2] * slope,                                   //
            -p[2] * angle + load.sway * height * height,     //
            deflection + (p[1] - kPlateWidth / 2.0f) * angle};
}

// ---- Effective stress -----------------------------------------------------------------------

constexpr float kBendingStress = 250.0f;  // MPa per metre of end deflection, at the clamp
constexpr float kShearStress = 300.0f;    // MPa per radian of end twist
constexpr float kCrackTipReach = 0.3f;    // metres over which the crack tip raises the stress

struct ElementSite {
    Point centre;  // structure axes
    int failsAt;   // frame, or kNever
};

// The von Mises stress of the plate's bending and twisting at p: bending grows towards the clamp
// and away from the plate's middle plane, the clamp takes the root moment and spreads it over its
// depth, and twisting shears the plate most at its edges.
float shakingStress(const Point& p, const Load& load) {
    const float spread = p[0] < 0.0f ? std::exp(p[0] / 0.5f) : 1.0f;
    const float s = std::clamp(p[0] / kPlateLength, 0.0f, 1.0f);
    const float bending = kBendingStress * std::fabs(load.bend) * (1.0f - s) * spread * (1.0f + std::fabs(p[2]));
    const float fromMiddle = std::fabs(p[1] - kPlateWidth / 2.0f) / kPlateWidth;
    const float shear = kShearStress * std::fabs(load.twist) * (0.5f + fromMiddle);
    return std::sqrt(bending * bending + 3.0f * shear * shear);
}

// Up to three times the stress right at the crack's tip, the cell that failed last.
float nearCrackTip(const Point& p, int frame) {
    if (frame < kCrackStartFrame) return 1.0f;
    const size_t failed = std::min<size_t>(static_cast<size_t>(frame - kCrackStartFrame), kCrackPath.size() - 1);
    const auto [column, row] = kCrackPath[failed];
    const Point tip{(static_cast<float>(column) + 0.5f) * kPlateCell, (static_cast<float>(row) + 0.5f) * kPlateCell, 0};
    return 1.0f + 2.0f * std::exp(-length(minus(p, tip)) / kCrackTipReach);
}

// A failed element carries nothing.
struct StressField {
    std::vector<ElementSite> sites;  // in the host's element order
    std::vector<Load> loads;         // per frame

    float operator()(int frame, int element) const {
        const ElementSite& site = sites[element];
        if (site.failsAt <= frame) return 0.0f;
        return shakingStress(site.centre, loads[frame]) * nearCrackTip(site.centre, frame);
    }
};

Point nodeAt(const std::vector<float>& xyz, int node) {
    const size_t first = 3 * static_cast<size_t>(node);
    return {xyz[first], xyz[first + 1], xyz[first + 2]};
}

Point centreOf(std::span<const int> nodes, const ModelStr& model, const FileAxes& axes) {
    Point sum{};
    for (int node : nodes) sum = plus(sum, axes.toStructure(nodeAt(model.referenceCoords, node)));
    const float count = static_cast<float>(nodes.size());
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

// Every element of the model in the host's order: part by part, the mesh types, then the lines.
std::vector<ElementSite> elementSites(const ModelStr& model, const FileAxes& axes) {
    std::vector<ElementSite> sites;
    for (const auto& part : model.parts) {
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            const std::span<const int> all = part->connectivity[type];
            const std::vector<int>& failFrames = part->failFrame[type];
            const size_t perElement = kNodesPerElement[type];
            for (size_t index = 0; index < all.size() / perElement; ++index)
                sites.push_back({centreOf(all.subspan(index * perElement, perElement), model, axes),
                                 index < failFrames.size() ? failFrames[index] : kNever});
        }
        const std::span<const int> lines = part->lineConnectivity;
        for (size_t first = 0; first < lines.size(); first += 2)
            sites.push_back({centreOf(lines.subspan(first, 2), model, axes), kNever});
    }
    return sites;
}

// ---- Into the host --------------------------------------------------------------------------

void addPart(ModelBuilder& model, const DemoPart& demo, const FileAxes& axes) {
    std::vector<float> xyz;
    for (const Point& node : demo.mesh.nodes()) {
        const Point p = axes.toFile(node);
        xyz.insert(xyz.end(), p.begin(), p.end());
    }
    PartBuilder part = model.part(demo.name).nodes(xyz).color(demo.color);
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
        if (!demo.mesh.connectivity(type).empty())
            part.elements(static_cast<_FePartMeshType>(type), demo.mesh.connectivity(type));
    const std::vector<int>& lines = demo.mesh.lines();
    for (size_t first = 0; first + 1 < lines.size(); first += 2) part.lines({lines[first], lines[first + 1]});
    for (const Failure& failure : demo.failures) part.failsAt(failure.type, failure.index, failure.frame);
}

std::vector<Load> loadsPerFrame(std::span<const float> times) {
    std::vector<Load> loads;
    for (float time : times) loads.push_back(loadAt(time, times.back()));
    return loads;
}

}  // namespace

ModelStr& buildDemoModel() {
    const std::vector<DemoPart> parts = demoParts();
    const FileAxes axes(parts);
    ModelBuilder model(kDemoModelTitle);
    for (const DemoPart& part : parts) addPart(model, part, axes);

    std::vector<float> times;
    for (int frame = 0; frame < kFrameCount; ++frame) times.push_back(static_cast<float>(frame) * kFrameStep);
    const std::vector<Load> loads = loadsPerFrame(times);
    const std::vector<float> reference = model.model().referenceCoords;

    model.frames(times)
        .motion([axes, loads](int frame, int, float* xyz) {
            const Point moved = axes.turned(displacement(axes.toStructure({xyz[0], xyz[1], xyz[2]}), loads[frame]));
            for (int axis = 0; axis < 3; ++axis) xyz[axis] += moved[axis];
        })
        .nodeField("Displacement magnitude",
                   [axes, loads, reference](int frame, int node) {
                       return length(displacement(axes.toStructure(nodeAt(reference, node)), loads[frame]));
                   })
        .elementField("Effective stress", StressField{elementSites(model.model(), axes), loads});
    return model.model();
}

}  // namespace host
