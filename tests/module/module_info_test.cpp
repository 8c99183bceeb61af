// What libSceneport.so tells about itself through Sceneport_get_module_info, read as a host reads
// it (dlopen, dlsym), and checked against what the library file says: its file name, its SONAME
// and its bytes.
#include "module_libraries.h"
#include "test_support.h"

#include "SceneportModule.h"

#include <elf.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <string_view>

namespace {

using module_testing::productLibrary;
using testing_support::readFile;

// An ELF structure at `offset` of the file image; zeroed where the image ends before it.
template <typename Record>
Record recordAt(const std::string& image, size_t offset) {
    Record record{};
    if (offset <= image.size() && image.size() - offset >= sizeof record)
        std::memcpy(&record, image.data() + offset, sizeof record);
    return record;
}

// DT_SONAME of a 64-bit ELF shared object; empty when it has none.
std::string sonameOf(const std::string& image) {
    if (image.compare(0, SELFMAG, ELFMAG) != 0 || image.size() <= EI_CLASS ||
        image[EI_CLASS] != ELFCLASS64)
        return {};
    const auto header = recordAt<Elf64_Ehdr>(image, 0);
    const auto section = [&](size_t index) {
        return recordAt<Elf64_Shdr>(image, header.e_shoff + index * header.e_shentsize);
    };
    for (size_t index = 0; index < header.e_shnum; ++index) {
        const Elf64_Shdr dynamic = section(index);
        if (dynamic.sh_type != SHT_DYNAMIC) continue;
        const Elf64_Shdr strings = section(dynamic.sh_link);
        for (size_t at = dynamic.sh_offset; at < dynamic.sh_offset + dynamic.sh_size;
             at += sizeof(Elf64_Dyn)) {
            const auto entry = recordAt<Elf64_Dyn>(image, at);
            if (entry.d_tag == DT_NULL) break;
            if (entry.d_tag != DT_SONAME) continue;
            const size_t name = strings.sh_offset + entry.d_un.d_val;
            return name < image.size() ? std::string(image.c_str() + name) : std::string();
        }
    }
    return {};
}

std::string hostName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}

class ModuleInfo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(productLibrary().empty()) << "SCENEPORT_LIB_DIR is not set";
        handle = dlopen(productLibrary().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        info = reinterpret_cast<decltype(&Sceneport_get_module_info)>(
            dlsym(handle, "Sceneport_get_module_info"));
        ASSERT_NE(info, nullptr) << dlerror();
        file = std::filesystem::canonical(productLibrary());
    }
    void TearDown() override {
        if (handle != nullptr) dlclose(handle);
    }

    void* handle = nullptr;
    decltype(&Sceneport_get_module_info) info = nullptr;
    std::filesystem::path file;  // the real file behind libSceneport.so
};

TEST_F(ModuleInfo, SelectorZeroNamesTheKindOfModule) {
    EXPECT_STREQ(info(0), "Dynamic linked library");
}

TEST_F(ModuleInfo, TheVersionIsTheFileVersionAndAnElevenDigitBuildId) {
    const std::string version = info(1);
    std::smatch fields;
    ASSERT_TRUE(std::regex_match(version, fields, std::regex(R"((\d+)\.(\d+\.\d+)\.[0-9a-f]{11})")))
        << version;
    const std::string major = fields[1];
    EXPECT_EQ(file.filename().string(), "libSceneport.so." + major + "." + fields[2].str());
    EXPECT_EQ(sonameOf(readFile(file)), "libSceneport.so." + major);
    EXPECT_EQ(info(1), info(1)) << "the same text on every call";
}

TEST_F(ModuleInfo, EveryOtherSelectorGivesTheIdentificationLine) {
    const char* line = info(2);
    EXPECT_EQ(info(-1), line);
    EXPECT_EQ(info(1000), line);

    const std::regex form(
        R"(Sceneport version (\S+) \(see https?://[^ )]+\), built on ([^ ()]+) )"
        R"(\((?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d \d{4} at )"
        R"((?:[01]\d|2[0-3]):[0-5]\d:[0-5]\d\)Copyright \(c\) \d{4} \S.*)");
    std::cmatch fields;
    ASSERT_TRUE(std::regex_match(line, fields, form)) << line;
    EXPECT_EQ(fields[1].str(), info(1));
    EXPECT_EQ(fields[2].str(), hostName()) << "built and tested on one machine";

    // The text starts behind the marker and its four-character tag.
    const std::string_view marked(line - 8, 8);
    EXPECT_EQ(marked.substr(0, 4), "@(#)");
    EXPECT_TRUE(std::all_of(marked.begin() + 4, marked.end(),
                            [](char c) { return std::isgraph(static_cast<unsigned char>(c)); }))
        << marked;
}

TEST_F(ModuleInfo, TheFileHoldsTheIdentificationLineOnceBehindItsMarker) {
    const std::string image = readFile(file);
    const std::string line = info(2);
    const size_t at = image.find(line + '\0');
    ASSERT_NE(at, std::string::npos) << "not in " << file;
    ASSERT_GE(at, 8u);
    EXPECT_EQ(image.compare(at - 8, 4, "@(#)"), 0) << image.substr(at - 8, 8);
    EXPECT_EQ(testing_support::occurrences(image, "@(#)"), 1)
        << "a tool that looks for the marker would print more than the line";
}

}  // namespace
