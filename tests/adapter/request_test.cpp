// The operations that belong to the request itself: per-frame file names, the prompt-line
// message and the reset of the global writer.
#include "adapter_probe.h"

namespace {

using AdapterRequest = testing_support::HostTest;

TEST_F(AdapterRequest, FileNamesOfFrames) {
    const std::tuple<const wchar_t*, bool, int, const wchar_t*> rows[] = {
        {L"/exports/model.wrl", false, 11, L"/exports/model.wrl"},
        {L"/exports/model.wrl", true, 0, L"/exports/model1.wrl"},
        {L"/exports/model.wrl", true, 11, L"/exports/model12.wrl"},
        {L".wrl", true, 2, L"3.wrl"},
        {L"ab", true, 0, L"1ab"},
        {L"", true, 41, L"42"},
        {L"/tmp/\u00DCbung.wrl", true, 4, L"/tmp/\u00DCbung5.wrl"},
    };
    AdapterProbe adapter;
    for (const auto& [requested, allFrames, frame, expected] : rows) {
        adapter.params.fileName = GuString(requested);
        adapter.params.allFrames = allFrames;
        GuString name("left over from an earlier frame");
        EXPECT_EQ(adapter.getFilename(frame, name), 1);
        EXPECT_STREQ(name.GetBuffer(), expected);
        EXPECT_STREQ(adapter.params.fileName.GetBuffer(), requested) << "the request is unchanged";
    }
}

TEST_F(AdapterRequest, ThePromptLineShowsTheFileBeingExported) {
    AdapterProbe adapter;
    for (const wchar_t* name : {L"/exports/model3.wrl", L"", L"/tmp/\u00DCbung.wrl"})
        adapter.displayExportingInfoMessage(GuString(name));
    EXPECT_EQ(host::hostLog().prompts, (std::vector<std::string>{"Exporting /exports/model3.wrl...", "Exporting ...",
                                                                 "Exporting /tmp/\xC3\x9C" "bung.wrl..."}));
}

TEST_F(AdapterRequest, InitializeResetsTheGlobalWriter) {
    globalVRMLWriter.level = 5;
    globalVRMLWriter.coordDefined = globalVRMLWriter.legendWritten = globalVRMLWriter.pixmapDefined = true;
    AdapterProbe().initialize();
    EXPECT_EQ(globalVRMLWriter.level, 0);
    EXPECT_FALSE(globalVRMLWriter.coordDefined || globalVRMLWriter.legendWritten || globalVRMLWriter.pixmapDefined);
}

}  // namespace
