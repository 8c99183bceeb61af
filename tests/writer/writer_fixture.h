// A fresh writer and file per case, and what the case wrote after the two header lines.
#pragma once

#include "ZVRMLWriter.h"
#include "scene_text.h"
#include "test_support.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

inline GuString guName(const std::filesystem::path& file) { return GuString(file.c_str()); }

// What makes the nodes a case writes a complete scene for the independent readers.
struct Wrap {
    const char *prefix, *suffix;
};
inline constexpr Wrap kTopLevel{"", ""}, kInShape{"\nShape {", "\n}"}, kInFaceSet{"\nShape { geometry IndexedFaceSet {", "\n} }"};

using WriterSteps = std::function<void(ZVRMLWriter&)>;
using TextAndLevel = std::pair<std::string, int>;

class WriterTest : public testing_support::HostTest {
protected:
    // Runs `steps` on a new writer with a new file and returns the file after its header, the
    // level the steps left in `levelAfter`. With `keep`, the whole file, wrapped, is kept.
    std::string textOf(const WriterSteps& steps, const Wrap* keep = nullptr) {
        ZVRMLWriter writer;
        EXPECT_TRUE(writer.openFile(guName(file)));
        steps(writer);
        levelAfter = writer.level;
        writer.closeFile();
        const std::string text = testing_support::readFile(file);
        const std::string body = testing_support::afterHeader(text);
        if (keep != nullptr)
            testing_support::keepVrmlSample(text.substr(0, text.size() - body.size()) + keep->prefix + body + keep->suffix);
        return body;
    }
    // The text of `steps` and the level they left.
    TextAndLevel textAndLevel(const WriterSteps& steps, const Wrap* keep = nullptr) { return {textOf(steps, keep), levelAfter}; }
    testing_support::TempDir dir;
    std::filesystem::path file = dir / "scene.wrl";
    int levelAfter = 0;
};
