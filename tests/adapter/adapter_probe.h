// Reaching the adapter's protected operations as a class derived by the host does, and a scene
// file open in the global writer for the operations that write.
#pragma once

#include "ZVRMLAdapter.h"
#include "ZVRMLWriter.h"
#include "host_log.h"
#include "scene_builder.h"
#include "scene_text.h"
#include "session.h"
#include "test_support.h"

#include <filesystem>
#include <string>

class AdapterProbe : public ZVRMLAdapter {
public:
    using ZVRMLAdapter::calculateObjectCenter;
    using ZVRMLAdapter::checkForInfinities;
    using ZVRMLAdapter::displayExportingInfoMessage;
    using ZVRMLAdapter::exportAnimations;
    using ZVRMLAdapter::exportAppearances;
    using ZVRMLAdapter::exportViewPoint;
    using ZVRMLAdapter::filterParts;
    using ZVRMLAdapter::filterSkinOnly;
    using ZVRMLAdapter::getCameraPosition;
    using ZVRMLAdapter::GetContourData;
    using ZVRMLAdapter::getDeletedElements;
    using ZVRMLAdapter::getFilename;
    using ZVRMLAdapter::getHiddenElements;
    using ZVRMLAdapter::getIndividualTransformationsFromMatrix;
    using ZVRMLAdapter::getPerElementColors;
    using ZVRMLAdapter::initialize;
};

inline long hostCalls(const char* function) { return host::hostLog().calls(function); }

// A fresh host session and a file open in the global writer, as an export has it for a frame.
class AdapterSceneTest : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        adapter.initialize();
        ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    }
    void TearDown() override {
        globalVRMLWriter.closeFile();
        HostTest::TearDown();
    }

    // Closes the file and returns everything after the two header lines.
    std::string body() {
        globalVRMLWriter.closeFile();
        return testing_support::afterHeader(testing_support::readFile(file));
    }

    // Ends the global model as an export does, closes the file and keeps it for the independent
    // readers; returns the whole file.
    std::string completeFile() {
        globalVRMLWriter.endGlobalModel();
        globalVRMLWriter.closeFile();
        const std::string text = testing_support::readFile(file);
        testing_support::keepVrmlSample(text);
        return text;
    }

    testing_support::TempDir dir;
    std::filesystem::path file = dir / "scene.wrl";
    AdapterProbe adapter;
};
