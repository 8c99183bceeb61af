// The operations that belong to the request itself: per-frame file names, the prompt-line
// message and the reset of the global writer.
#include "adapter_probe.h"
#include "host_log.h"

#include <string>

namespace {

std::wstring wide(const GuString& s) { return s.GetBuffer(); }

class AdapterFileNames : public testing_support::HostTest {
protected:
    std::wstring nameFor(int frameIndex) {
        GuString name("left over from an earlier frame");
        EXPECT_EQ(adapter.getFilename(frameIndex, name), 1);
        return wide(name);
    }

    AdapterProbe adapter;
};

TEST_F(AdapterFileNames, WithoutAllFramesTheNameIsTheRequestedOne) {
    adapter.params.fileName = "/exports/model.wrl";
    adapter.params.allFrames = false;
    EXPECT_EQ(nameFor(0), L"/exports/model.wrl");
    EXPECT_EQ(nameFor(11), L"/exports/model.wrl");
}

TEST_F(AdapterFileNames, WithAllFramesTheOneBasedFrameNumberGoesBeforeTheExtension) {
    adapter.params.fileName = "/exports/model.wrl";
    adapter.params.allFrames = true;
    EXPECT_EQ(nameFor(0), L"/exports/model1.wrl");
    EXPECT_EQ(nameFor(9), L"/exports/model10.wrl");
    EXPECT_EQ(nameFor(11), L"/exports/model12.wrl");
    EXPECT_EQ(wide(adapter.params.fileName), L"/exports/model.wrl") << "the request is unchanged";
}

TEST_F(AdapterFileNames, ANameOfJustAnExtensionGetsTheNumberInFront) {
    adapter.params.fileName = ".wrl";
    adapter.params.allFrames = true;
    EXPECT_EQ(nameFor(2), L"3.wrl");
}

TEST_F(AdapterFileNames, ANameShorterThanAnExtensionGetsTheNumberInFront) {
    adapter.params.allFrames = true;
    adapter.params.fileName = "ab";
    EXPECT_EQ(nameFor(0), L"1ab");
    adapter.params.fileName = "";
    EXPECT_EQ(nameFor(41), L"42");
}

TEST_F(AdapterFileNames, NonAsciiNamesKeepTheirCharacters) {
    adapter.params.fileName = GuString(L"/tmp/\u00DCbung.wrl");
    adapter.params.allFrames = true;
    EXPECT_EQ(nameFor(4), L"/tmp/\u00DCbung5.wrl");
}

using AdapterPrompt = testing_support::HostTest;

TEST_F(AdapterPrompt, ThePromptLineShowsTheFileBeingExported) {
    AdapterProbe adapter;
    adapter.displayExportingInfoMessage(GuString("/exports/model3.wrl"));
    ASSERT_EQ(host::hostLog().prompts.size(), 1u);
    EXPECT_EQ(host::hostLog().prompts.back(), "Exporting /exports/model3.wrl...");
}

TEST_F(AdapterPrompt, AnEmptyNameLeavesOnlyTheFrame) {
    AdapterProbe adapter;
    adapter.displayExportingInfoMessage(GuString());
    ASSERT_EQ(host::hostLog().prompts.size(), 1u);
    EXPECT_EQ(host::hostLog().prompts.back(), "Exporting ...");
}

TEST_F(AdapterPrompt, NonAsciiNamesReachThePromptAsUtf8) {
    AdapterProbe adapter;
    adapter.displayExportingInfoMessage(GuString(L"/tmp/\u00DCbung.wrl"));
    ASSERT_EQ(host::hostLog().prompts.size(), 1u);
    EXPECT_EQ(host::hostLog().prompts.back(), "Exporting /tmp/\xC3\x9C" "bung.wrl...");
}

using AdapterInitialize = testing_support::HostTest;

TEST_F(AdapterInitialize, ResetsTheGlobalWriterAndNothingOfTheAdapter) {
    globalVRMLWriter.level = 5;
    globalVRMLWriter.coordDefined = true;
    globalVRMLWriter.legendWritten = true;
    globalVRMLWriter.globalModelWritten = true;
    globalVRMLWriter.texCoordDefined = true;
    globalVRMLWriter.pixmapDefined = true;

    AdapterProbe adapter;
    adapter.params.fileName = "/exports/model.wrl";
    adapter.params.allFrames = true;
    adapter.partHasContours = true;
    adapter.initialize();

    EXPECT_EQ(globalVRMLWriter.level, 0);
    EXPECT_FALSE(globalVRMLWriter.coordDefined);
    EXPECT_FALSE(globalVRMLWriter.legendWritten);
    EXPECT_FALSE(globalVRMLWriter.globalModelWritten);
    EXPECT_FALSE(globalVRMLWriter.texCoordDefined);
    EXPECT_FALSE(globalVRMLWriter.pixmapDefined);

    EXPECT_EQ(wide(adapter.params.fileName), L"/exports/model.wrl");
    EXPECT_TRUE(adapter.params.allFrames);
    EXPECT_TRUE(adapter.partHasContours);
}

}  // namespace
