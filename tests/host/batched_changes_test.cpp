// A model built within one BatchedChanges must look to the plug-in exactly like one built step by
// step, which brings the model up to date after every call: the same parts and meshes, the
// shown frame's coordinates and a window's contour values.
#include "hostgen.h"
#include "hostmodel.h"
#include "hostwin.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

using BatchedChanges = testing_support::HostTest;

// Three plates side by side, two frames that move and colour them, a failure, built with the
// builder's calls in the order a model reader makes them.
void buildPlates(host::ModelBuilder& model) {
    for (int plate = 0; plate < 3; ++plate) {
        const float x = 2.0f * plate;
        model.part("Plate " + std::to_string(plate))
            .nodes({{x, 0, 0}, {x + 1, 0, 0}, {x + 1, 1, 0}, {x, 1, 0}, {x, 2, 0}, {x + 1, 2, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 2, 3})
            .elements(FE_MESH_TRIA3, {3, 2, 5, 3, 5, 4});
    }
    model.frames({0.0f, 1.0f});
    model.frameCoordinates(1, std::vector<float>(3 * 18, 0.5f));
    model.nodeField("temperature", [](int frame, int node) { return static_cast<float>(frame * 100 + node); });
    host::PartBuilder(model.model(), *model.model().parts[1]).failsAt(FE_MESH_TRIA3, 1, 1);
}

// What the plug-in reads of a model and of the window showing it, as one list of numbers.
std::vector<float> whatThePluginSees(ModelStr& model, WindowStr* window) {
    std::vector<float> seen;
    MngrObjectListStr* list = nullptr;
    MngrGetObjectList(&model, fePartClass_p, &list);
    seen.push_back(static_cast<float>(list->count));
    for (int i = 0; i < list->count; ++i) {
        auto* part = static_cast<FePartStr*>(list->objects[i]);
        FePartMeshDataStr mesh{};
        FePartGetMeshData(part, &mesh);
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            const int count = mesh.elementCounts[type];
            seen.push_back(static_cast<float>(count));
            if (count > 0 && mesh.connectivityLists[type] != nullptr)
                for (int k = 0; k < count * mesh.nodesPerElement[type]; ++k)
                    seen.push_back(static_cast<float>(mesh.connectivityLists[type][k]));
            for (int element = 0; element < count; ++element)
                seen.push_back(static_cast<float>(
                    FePartIsElementFailingGivenPart(part, static_cast<_FePartMeshType>(type), element, 1)));
        }
    }
    ZGuFree(list, __FILE__, __LINE__);
    const FePostResultStr* result = MdbGetManagerObject(&model, 0);
    seen.push_back(static_cast<float>(result->nodeCount));
    seen.insert(seen.end(), result->nodeCoords, result->nodeCoords + 3 * result->nodeCount);
    const ContourInfoStr* contours = WindowGetContourInfo(window, &model);
    seen.push_back(static_cast<float>(contours->valueCount));
    seen.insert(seen.end(), contours->values, contours->values + contours->valueCount);
    return seen;
}

TEST_F(BatchedChanges, AModelBuiltInOneBatchLooksLikeOneBuiltStepByStep) {
    host::ModelBuilder stepByStep("plates");
    buildPlates(stepByStep);
    host::ModelBuilder batched("plates");
    {
        const host::BatchedChanges outer(batched.model());
        const host::BatchedChanges inner(batched.model());  // batches nest
        buildPlates(batched);
    }
    // Windows made before and after the frame shown changes.
    host::WindowBuilder stepByStepWindow(stepByStep);
    host::WindowBuilder batchedWindow(batched);
    for (host::WindowBuilder* window : {&stepByStepWindow, &batchedWindow}) window->contour("temperature");
    for (const int frame : {0, 1}) {
        host::showFrame(frame);
        EXPECT_EQ(whatThePluginSees(batched.model(), batchedWindow),
                  whatThePluginSees(stepByStep.model(), stepByStepWindow))
            << "frame " << frame;
    }
}

// A window already showing the model follows the parts and values a later batch adds.
TEST_F(BatchedChanges, AWindowShowingTheModelIsUpdatedWhenTheBatchEnds) {
    host::ModelBuilder model("plates");
    model.part("First").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    model.nodeField("temperature", [](int, int node) { return static_cast<float>(node); });
    host::WindowBuilder window(model);
    window.contour("temperature");
    host::showFrame(0);
    {
        const host::BatchedChanges batch(model.model());
        model.part("Second").nodes({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    }
    const ContourInfoStr* contours = WindowGetContourInfo(window, model);
    ASSERT_EQ(contours->valueCount, 6);
    EXPECT_EQ(contours->values[5], 5.0f);
    EXPECT_EQ(MdbGetManagerObject(model, 0)->nodeCount, 6);
}

}  // namespace
