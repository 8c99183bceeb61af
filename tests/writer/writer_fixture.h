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

    // Closes the file and returns everything after the two header lines. When the test asked
    // for it, the whole file, its nodes wrapped as asked, is also kept for the independent VRML
    // readers that check every scene the suite writes.
    std::string written() {
        writer.closeFile();
        const std::string text = testing_support::readFile(file);
        const std::string body = testing_support::afterHeader(text);
        EXPECT_NE(body.size(), text.size()) << "no complete header in:\n" << text;
        if (m_keepForReaders) {
            const std::string header = text.substr(0, text.size() - body.size());
            testing_support::keepVrmlSample(header + m_readerPrefix + body + m_readerSuffix);
        }
        return body;
    }

    // The nodes this test writes make a valid scene once `prefix` and `suffix` surround them
    // (nothing for top-level nodes; "Shape {" and "}" for a geometry or appearance field).
    void checkWithReaders(std::string prefix = "", std::string suffix = "") {
        m_keepForReaders = true;
        m_readerPrefix = std::move(prefix);
        m_readerSuffix = std::move(suffix);
    }

    testing_support::TempDir dir;
    std::filesystem::path file = dir / "scene.wrl";
    ZVRMLWriter writer;

private:
    bool m_keepForReaders = false;
    std::string m_readerPrefix;
    std::string m_readerSuffix;
};

// Wrappers that make a field of a node a complete scene.
inline constexpr const char* kInShape = "\nShape {";
inline constexpr const char* kEndShape = "\n}";
inline constexpr const char* kInFaceSet = "\nShape { geometry IndexedFaceSet {";
inline constexpr const char* kEndFaceSet = "\n} }";
