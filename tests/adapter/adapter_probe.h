// The adapter's protected operations reached as a class derived by the host does, and a scene
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
        open();
    }
    void TearDown() override {
        globalVRMLWriter.closeFile();
        HostTest::TearDown();
    }
    void open() {
        globalVRMLWriter.closeFile();
        adapter.initialize();
        ASSERT_TRUE(globalVRMLWriter.openFile(GuString(file.c_str())));
    }
    // Closes the file and returns what follows its header; a complete file, its global model
    // ended as an export ends it, is also kept for the independent readers.
    std::string body(bool complete = false) {
        if (complete) globalVRMLWriter.endGlobalModel();
        globalVRMLWriter.closeFile();
        const std::string text = testing_support::readFile(file);
        if (complete) testing_support::keepVrmlSample(text);
        return testing_support::afterHeader(text);
    }
    testing_support::TempDir dir;
    std::filesystem::path file = dir / "scene.wrl";
    AdapterProbe adapter;
};
