// A writer with a file open in a fresh directory, and what it wrote after the header.
#pragma once

#include "ZVRMLWriter.h"
#include "hoststr.h"
#include "test_support.h"

#include <filesystem>
#include <string>

inline GuString guName(const std::filesystem::path& file) { return GuString(file.c_str()); }

class WriterOutputTest : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(writer.openFile(guName(file)));
    }

    // Closes the file and returns everything after the two header lines.
    std::string written() {
        writer.closeFile();
        const std::string text = testing_support::readFile(file);
        const size_t firstBreak = text.find('\n');
        const size_t secondBreak = text.find('\n', firstBreak + 1);
        EXPECT_NE(secondBreak, std::string::npos) << "no complete header in:\n" << text;
        return secondBreak == std::string::npos ? text : text.substr(secondBreak + 1);
    }

    testing_support::TempDir dir;
    std::filesystem::path file = dir / "scene.wrl";
    ZVRMLWriter writer;
};
