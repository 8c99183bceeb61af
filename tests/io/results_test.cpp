// Reading views: frames and times, fields at nodes and elements, displacements, failures.
#include "io/model_reader.h"
#include "mesh_types.h"
#include "model_file.h"
#include "test_support.h"

#include <gmsh.h>

#include <cmath>
#include <map>

namespace {

using model_file::Point;

// Two quadrilaterals at z = 0 under two hexahedra, and two lines along the hexahedra's top edge,
// over 12 nodes: tag t at x = (t - 1) % 3, y = (t - 1) / 3 % 2, z = (t - 1) / 6. Every value the
// views hold is a function of where it stands (a node, or an element's centre), so the host's
// values are checked without Gmsh's numbers.
const std::map<std::size_t, std::pair<int, std::vector<std::size_t>>> kElements{
    {101, {3, {1, 2, 5, 4}}}, {102, {3, {2, 3, 6, 5}}}, {201, {5, {1, 2, 5, 4, 7, 8, 11, 10}}},
    {202, {5, {2, 3, 6, 5, 8, 9, 12, 11}}}, {301, {1, {7, 8}}}, {302, {1, {8, 9}}}};

Point position(std::size_t tag) { return {double((tag - 1) % 3), double((tag - 1) / 3 % 2), double((tag - 1) / 6)}; }
double temperature(const Point& p, int step) { return 10.0 * step + p[0] + 3 * p[1] + 6 * p[2]; }
double pressure(const Point& centre, int step) { return 100.0 * step + centre[0] + 10 * centre[2]; }
double strain(const Point& centre, const Point& node) { return centre[0] + 10 * centre[2] + node[0] / 100 + node[1] / 10; }
Point displacement(const Point& p, int step) { return {0.1 * step, 0.01 * (p[0] + 1) * step, 0.0}; }
bool isHexahedron(const Point& centre) { return centre[2] == 0.5; }
int failStep(const Point& centre) { return isHexahedron(centre) && centre[0] > 1 ? 1 : centre[2] == 0 && centre[0] < 1 ? 2 : 99; }
Point centreOf(const std::vector<Point>& points) {
    Point c{};
    for (const Point& p : points)
        for (int a = 0; a < 3; ++a) c[a] += p[a] / points.size();
    return c;
}

void writeSample(const std::filesystem::path& file, const model_file::Format& format) {
    model_file::start();
    std::vector<double> coordinates;
    for (std::size_t tag = 1; tag <= 12; ++tag) coordinates.insert(coordinates.end(), {position(tag)[0], position(tag)[1], position(tag)[2]});
    const int block = gmsh::model::addDiscreteEntity(3), plate = gmsh::model::addDiscreteEntity(2), wire = gmsh::model::addDiscreteEntity(1);
    model_file::addNodes(3, block, coordinates);
    for (const auto& [tag, element] : kElements)
        gmsh::model::mesh::addElementsByType(tag < 200 ? plate : tag < 300 ? block : wire, element.first, {tag}, element.second);
    model_file::group(3, {block}, "Block");
    model_file::group(2, {plate}, "Plate");
    model_file::group(1, {wire}, "Wire");
    // A view's values per element: `value` of the element's centre and its nodes' positions.
    const auto perElement = [](std::function<std::vector<double>(const Point&, const std::vector<Point>&, int)> value) {
        return [=](std::size_t tag, int step) {
            if (!kElements.contains(tag)) return std::vector<double>{};
            std::vector<Point> nodes;
            for (const std::size_t node : kElements.at(tag).second) nodes.push_back(position(node));
            return value(centreOf(nodes), nodes, step);
        };
    };
    const auto scalar = [](double v) { return std::vector<double>{v}; };
    using model_file::view;
    view("temperature", "NodeData", {0.0, 0.5}, 12, [&](std::size_t node, int step) { return node == 12 ? std::vector<double>{} : scalar(temperature(position(node), step)); });
    view("pressure", "ElementData", {0.0, 0.5, 2.0}, 302, perElement([&](const Point& c, auto, int step) { return scalar(pressure(c, step)); }));
    view("velocity", "NodeData", {0.0}, 12, [](std::size_t node, int) { return std::vector<double>{position(node)[0] + 1, 2, 2}; });
    view("stress", "ElementData", {0.0}, 302, perElement([](const Point& c, auto, int) {  // a pure shear in the hexahedra
        const double s = pressure(c, 1);
        return isHexahedron(c) ? std::vector<double>{0, s, 0, s, 0, 0, 0, 0, 0} : std::vector<double>{s, 0, 0, 0, 0, 0, 0, 0, 0};
    }));
    view("strain", "ElementNodeData", {0.0}, 302, perElement([](const Point& c, const std::vector<Point>& nodes, int) {
        std::vector<double> values;
        for (const Point& node : nodes) values.push_back(strain(c, node));
        return values;
    }));
    view("Displacement", "NodeData", {0.0, 0.5, 2.0}, 12, [](std::size_t node, int step) {
        const Point d = displacement(position(node), step);
        return std::vector<double>(d.begin(), d.end());
    });
    view("failed", "ElementData", {0.0, 0.5, 2.0}, 302, perElement([&](const Point& c, auto, int step) { return scalar(step >= failStep(c) ? 1 : 0); }));
    view("temperature", "NodeData", {0.0}, 12, [&](std::size_t node, int) { return scalar(-temperature(position(node), 0)); });
    view("strain tensor", "NodeData", {0.0}, 12, [](std::size_t, int) { return std::vector<double>(6, 1.0); });
    model_file::write(file, format);
}

class Results : public testing_support::HostTest, public ::testing::WithParamInterface<model_file::Format> {
protected:
    void SetUp() override {
        HostTest::SetUp();
        writeSample(directory / "sample.msh", GetParam());
        model = &host::io::readModel(directory / "sample.msh", notes);
        ASSERT_EQ(model->parts.size(), 3u);
        // The elements in the host's order of per-element values: part by part, types, then lines.
        for (const auto& part : model->parts) {
            const auto add = [&](const std::vector<int>& nodes, int per, int type) {
                for (std::size_t first = 0; first < nodes.size(); first += per)
                    elements.push_back({part.get(), type, static_cast<int>(first / per), {nodes.begin() + first, nodes.begin() + first + per}});
            };
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) add(part->connectivity[type], host::kNodesPerElement[type], type);
            add(part->lineConnectivity, 2, -1);
        }
    }
    Point at(int node) const { return {model->referenceCoords[3 * node], model->referenceCoords[3 * node + 1], model->referenceCoords[3 * node + 2]}; }
    Point centre(const std::vector<int>& nodes) const {
        std::vector<Point> points;
        for (const int node : nodes) points.push_back(at(node));
        return centreOf(points);
    }
    const std::vector<float>& values(const std::string& field, int frame) { return model->fieldValues(model->findField(field), frame); }

    struct HostElement {
        const host::Part* part;
        int meshType, index;
        std::vector<int> nodes;
    };
    testing_support::TempDir directory;
    host::io::ReadNotes notes;
    ModelStr* model = nullptr;
    std::vector<HostElement> elements;
};

TEST_P(Results, FramesAndFields) {
    EXPECT_EQ(model->times, (std::vector<float>{0.0f, 0.5f, 2.0f}));
    std::vector<std::pair<std::string, host::ValueLocation>> fields;
    for (const host::Field& field : model->fields) fields.emplace_back(field.name, field.location);
    using enum host::ValueLocation;
    EXPECT_EQ(fields, (std::vector<std::pair<std::string, host::ValueLocation>>{
                          {"temperature", Node}, {"pressure", Element}, {"velocity", Node}, {"stress", Element},
                          {"strain", Node}, {"temperature (2)", Node}}));
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "left out view \"strain tensor\": its values have 6 components, neither a scalar (1), a "
                               "vector (3) nor a tensor (9)",
                               "view \"temperature\" gives no value at 1 node; 0 stands there"}));
    EXPECT_EQ(model->nodeCount(), 6 + 12 + 3) << "a node of two parts is in each";
}

TEST_P(Results, ValuesDisplacementsAndFailures) {
    ASSERT_EQ(model->frameCoords.size(), 3u);
    for (int frame = 0; frame < 3; ++frame) {
        for (int node = 0; node < model->nodeCount(); ++node) {
            const Point p = at(node);
            SCOPED_TRACE("frame " + std::to_string(frame) + ", node at " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]));
            EXPECT_FLOAT_EQ(values("temperature", frame)[node], (p == Point{2, 1, 1} ? 0.0 : temperature(p, std::min(frame, 1))));
            EXPECT_FLOAT_EQ(values("temperature (2)", frame)[node], -temperature(p, 0));
            EXPECT_FLOAT_EQ(values("velocity", frame)[node], (std::hypot(p[0] + 1, 2, 2)));
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_FLOAT_EQ(model->frameCoords[frame][3 * node + axis], p[axis] + displacement(p, frame)[axis]);
            double sum = 0;  // per element node, a node's value is the mean over its part's elements
            int sharing = 0;
            for (const HostElement& element : elements)
                if (std::count(element.nodes.begin(), element.nodes.end(), node)) sum += strain(centre(element.nodes), p), ++sharing;
            EXPECT_FLOAT_EQ(values("strain", frame)[node], sum / sharing);
        }
        for (std::size_t e = 0; e < elements.size(); ++e) {
            const Point c = centre(elements[e].nodes);
            SCOPED_TRACE("frame " + std::to_string(frame) + ", element at " + std::to_string(c[0]) + " " + std::to_string(c[2]));
            EXPECT_FLOAT_EQ(values("pressure", frame)[e], pressure(c, frame));
            EXPECT_FLOAT_EQ(values("stress", frame)[e], (isHexahedron(c) ? std::sqrt(3.0) : 1.0) * pressure(c, 1)) << "von Mises";
            if (elements[e].meshType >= 0) {
                EXPECT_EQ(elements[e].part->hasFailed({elements[e].meshType, elements[e].index}, frame), frame >= failStep(c));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Msh, Results, ::testing::ValuesIn(model_file::kFormats), [](const auto& info) { return std::string(info.param.name); });

}  // namespace
