// export --html: the page beside the scenes names them, their frames and the model, escaped for
// any file name, with X_ITE and its licences copied beside it. (What a browser makes of the page
// is check-in-chromium's.) Pages go to a subfolder: their scenes are the demo's, kept elsewhere.
#include "command_run.h"

#include <gtest/gtest.h>

namespace {

using command_test::runSceneport;
using ScenePages = command_test::CommandTest;

TEST_F(ScenePages, NameTheirScenesFramesAndModel) {
    const std::filesystem::path pages = dir / "pages";
    std::filesystem::create_directory(pages);
    const std::string odd = (pages / "a<b>\"&c.msh").string();
    std::filesystem::copy_file(SCENEPORT_TEST_DATA "/block_crush.msh", odd);
    const struct {
        std::vector<std::string> arguments;
        std::string page;
        std::vector<std::string> texts;  // in the page, in this order
    } cases[] = {
        {{"--all-frames"}, "d.html", {"<title>Sceneport demo — Displacement magnitude</title>",
                                      R"("files":["d1.wrl","d2.wrl",)", R"("numbers":[1,2,)", R"(,24],"times":[0,0.125,)"}},
        {{"--frame", "3", "--contour", "Effective stress"}, "d.html",
         {"<title>Sceneport demo — Effective stress</title>", R"("files":["d.wrl"])", R"("caption":"Frame 3 of 24 · time 0.25")"}},
        {{"--animate", "--no-contours"}, "d.html",
         {"<title>Sceneport demo</title>", R"("caption":"24 frames, time 0 to 2.875, played in a one-second loop")"}},
        {{odd, "--frame", "1"}, "x\"<b>.html",
         {"<title>a&lt;b&gt;&quot;&amp;c.msh — ", R"({"page":"x\"\u003cb>.html","files":["x\"\u003cb>.wrl"])"}},
    };
    for (const auto& [arguments, page, texts] : cases) {
        std::vector<std::string> command{"export", "--html", "-q", "-o", (pages / page).replace_extension(".wrl").string()};
        command.insert(command.begin() + 1, arguments.begin(), arguments.end());
        const auto result = runSceneport(command);
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string html = testing_support::readFile(pages / page);
        size_t at = 0;
        for (const std::string& text : texts) {
            at = html.find(text, at);
            EXPECT_NE(at, std::string::npos) << page << " lacks, or has out of order: " << text;
        }
    }
    for (const char* file : {"x_ite.min.js", "LICENSE.md", "assets/fonts/PT_Sans/OFL.txt", "assets/fonts/Ubuntu/Ubuntu LICENCE.txt"})
        EXPECT_TRUE(std::filesystem::is_regular_file(pages / "x_ite" / file)) << file;
}

}  // namespace
