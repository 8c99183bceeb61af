// Reading views: frames and times, fields at nodes and elements, displacements, failures.
#include "io/model_reader.h"
#include "mesh_types.h"
#include "model_file.h"
#include "test_support.h"

#include <gmsh.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Two quadrilaterals under two hexahedra, and two lines along the hexahedra's top edge. Node
// tag t sits at x = (t - 1) % 3, y = (t - 1) / 3 % 2, z = (t - 1) / 6.
struct SampleElement {
    std::size_t tag;
    int gmshType;
    std::vector<std::size_t> nodes;
};
const std::vector<SampleElement> kPlate{{101, 3, {1, 2, 5, 4}}, {102, 3, {2, 3, 6, 5}}};
const std::vector<SampleElement> kBlock{{201, 5, {1, 2, 5, 4, 7, 8, 11, 10}}, {202, 5, {2, 3, 6, 5, 8, 9, 12, 11}}};
const std::vector<SampleElement> kWire{{301, 1, {7, 8}}, {302, 1, {8, 9}}};

std::size_t tagAt(const float* xyz) { return 1 + std::lround(xyz[0]) + 3 * std::lround(xyz[1]) + 6 * std::lround(xyz[2]); }

// What the sample's views hold, as functions of what they hold it for.
double temperature(std::size_t node, int step) { return 10.0 * step + static_cast<double>(node); }
double pressure(std::size_t element, int step) { return 100.0 * step + static_cast<double>(element); }
double strain(std::size_t element, std::size_t node) { return static_cast<double>(element) + static_cast<double>(node) / 100; }
std::array<double, 3> displacement(std::size_t node, int step) { return {0.1 * step, 0.01 * static_cast<double>(node) * step, 0.0}; }
int failStep(std::size_t element) { return element == 202 ? 1 : element == 101 ? 2 : 99; }
bool isHexahedron(std::size_t element) { return element / 100 == 2; }

void writeSample(const std::filesystem::path& file, const model_file::Format& format) {
    model_file::start();
    std::vector<double> coordinates;
    for (int node = 0; node < 12; ++node) coordinates.insert(coordinates.end(), {double(node % 3), double(node / 3 % 2), double(node / 6)});
    const int block = gmsh::model::addDiscreteEntity(3);
    model_file::addNodes(3, block, coordinates);
    for (const auto& [dimension, elements] : {std::pair{2, &kPlate}, {3, &kBlock}, {1, &kWire}}) {
        const int entity = dimension == 3 ? block : gmsh::model::addDiscreteEntity(dimension);
        for (const SampleElement& element : *elements)
            gmsh::model::mesh::addElementsByType(entity, element.gmshType, {element.tag}, element.nodes);
        model_file::group(dimension, {entity}, dimension == 1 ? "Wire" : dimension == 2 ? "Plate" : "Block");
    }
    const auto scalar = [](double v) { return std::vector<double>{v}; };
    const auto exists = [](std::size_t e) { return e % 100 >= 1 && e % 100 <= 2 && e >= 101 && e <= 302; };
    const auto perElement = [&](std::function<std::vector<double>(std::size_t, int)> value) {
        return [=](std::size_t e, int step) { return exists(e) ? value(e, step) : std::vector<double>{}; };
    };
    using model_file::view;
    view("temperature", "NodeData", {0.0, 0.5}, 12, [&](std::size_t node, int step) { return node == 12 ? std::vector<double>{} : scalar(temperature(node, step)); });
    view("pressure", "ElementData", {0.0, 0.5, 2.0}, 302, perElement([&](std::size_t e, int step) { return scalar(pressure(e, step)); }));
    view("velocity", "NodeData", {0.0}, 12, [](std::size_t node, int) { return std::vector<double>{double(node), 2, 2}; });
    view("stress", "ElementData", {0.0}, 302, perElement([](std::size_t e, int) {
        const double s = static_cast<double>(e);
        return isHexahedron(e) ? std::vector<double>{0, s, 0, s, 0, 0, 0, 0, 0} : std::vector<double>{s, 0, 0, 0, 0, 0, 0, 0, 0};
    }));
    view("strain", "ElementNodeData", {0.0}, 302, perElement([](std::size_t e, int) {
        std::vector<double> values;
        for (const auto* part : {&kPlate, &kBlock, &kWire})
            for (const SampleElement& element : *part)
                if (element.tag == e)
                    for (const std::size_t node : element.nodes) values.push_back(strain(e, node));
        return values;
    }));
    view("Displacement", "NodeData", {0.0, 0.5, 2.0}, 12, [](std::size_t node, int step) {
        const auto d = displacement(node, step);
        return std::vector<double>(d.begin(), d.end());
    });
    view("failed", "ElementData", {0.0, 0.5, 2.0}, 302, perElement([&](std::size_t e, int step) { return scalar(step >= failStep(e) ? 1 : 0); }));
    view("temperature", "NodeData", {0.0}, 12, [&](std::size_t node, int) { return scalar(-double(node)); });
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
        // The sample's elements in the host's order of per-element values, by their centroids.
        for (const auto& part : model->parts) {
            const auto add = [&](const std::vector<int>& nodes, int perElement, int type) {
                for (std::size_t first = 0; first < nodes.size(); first += perElement) {
                    double x = 0, z = 0;
                    for (int k = 0; k < perElement; ++k) {
                        x += model->referenceCoords[3 * nodes[first + k]] / perElement;
                        z += model->referenceCoords[3 * nodes[first + k] + 2] / perElement;
                    }
                    elements.push_back({static_cast<std::size_t>(100 * (1 + 2 * z) + (x > 1 ? 2 : 1)), part.get(), type,
                                        static_cast<int>(first / perElement)});
                }
            };
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) add(part->connectivity[type], host::kMeshTypes[type].nodesPerElement, type);
            add(part->lineConnectivity, 2, -1);
        }
    }

    std::size_t nodeTag(int node) const { return tagAt(&model->referenceCoords[3 * node]); }
    const host::Part& partOfNode(int node) const {
        return **std::find_if(model->parts.begin(), model->parts.end(),
                              [&](const auto& p) { return node >= p->firstNode && node < p->firstNode + p->nodeCount; });
    }
    const std::vector<float>& values(const std::string& field, int frame) { return model->fieldValues(model->findField(field), frame); }

    struct HostElement {
        std::size_t tag;
        const host::Part* part;
        int meshType, index;
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

TEST_P(Results, FieldValues) {
    for (int frame = 0; frame < 3; ++frame) {
        for (int node = 0; node < model->nodeCount(); ++node) {
            const std::size_t tag = nodeTag(node);
            SCOPED_TRACE("frame " + std::to_string(frame) + ", node tag " + std::to_string(tag));
            EXPECT_FLOAT_EQ(values("temperature", frame)[node], tag == 12 ? 0.0 : temperature(tag, std::min(frame, 1)));
            EXPECT_FLOAT_EQ(values("temperature (2)", frame)[node], -double(tag));
            EXPECT_FLOAT_EQ(values("velocity", frame)[node], std::sqrt(double(tag * tag) + 8));
            double sum = 0;
            int sharing = 0;
            const host::Part& part = partOfNode(node);
            for (const auto* sample : {&kPlate, &kBlock, &kWire})
                for (const SampleElement& element : *sample)
                    if (std::count(element.nodes.begin(), element.nodes.end(), tag) &&
                        std::any_of(elements.begin(), elements.end(), [&](const HostElement& e) { return e.tag == element.tag && e.part == &part; })) {
                        sum += strain(element.tag, tag);
                        ++sharing;
                    }
            EXPECT_FLOAT_EQ(values("strain", frame)[node], sum / sharing) << "the mean over the part's elements";
        }
        for (std::size_t e = 0; e < elements.size(); ++e) {
            const std::size_t tag = elements[e].tag;
            SCOPED_TRACE("frame " + std::to_string(frame) + ", element " + std::to_string(tag));
            EXPECT_FLOAT_EQ(values("pressure", frame)[e], pressure(tag, frame));
            EXPECT_FLOAT_EQ(values("stress", frame)[e], isHexahedron(tag) ? std::sqrt(3.0) * double(tag) : double(tag));
        }
    }
}

TEST_P(Results, DisplacementsAndFailures) {
    ASSERT_EQ(model->frameCoords.size(), 3u);
    for (int frame = 0; frame < 3; ++frame)
        for (int node = 0; node < model->nodeCount(); ++node)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_FLOAT_EQ(model->frameCoords[frame][3 * node + axis],
                                model->referenceCoords[3 * node + axis] + displacement(nodeTag(node), frame)[axis])
                    << "frame " << frame << ", node tag " << nodeTag(node);
    for (const HostElement& element : elements)
        for (int frame = 0; element.meshType >= 0 && frame < 3; ++frame)
            EXPECT_EQ(element.part->hasFailed({element.meshType, element.index}, frame), frame >= failStep(element.tag))
                << "element " << element.tag << " at frame " << frame;
}

INSTANTIATE_TEST_SUITE_P(Msh, Results, ::testing::ValuesIn(model_file::kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
