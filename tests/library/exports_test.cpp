// What libSceneport.so offers a host that loads it: its dynamic symbols and the libraries it
// needs at load time.
#include "test_support.h"

#include <cxxabi.h>
#include <link.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The library this test was linked against: the one in SCENEPORT_LIB_DIR (set by ctest), else
// the one the running process has loaded.
std::string libraryPath() {
    if (const char* dir = std::getenv("SCENEPORT_LIB_DIR")) {
        return std::string(dir) + "/libSceneport.so";
    }
    std::string loaded;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
            if (name.find("/libSceneport.so") == std::string::npos) return 0;
            *static_cast<std::string*>(found) = name;
            return 1;
        },
        &loaded);
    return loaded;
}

// Standard output of `command`; fails the test when the command does not succeed.
std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << command;
    if (pipe == nullptr) return output;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        output.append(chunk.data(), n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

std::string demangle(const std::string& name) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> text(
        abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
    return status == 0 && text ? std::string(text.get()) : name;
}

// Demangled names of the symbols the library defines for others (global or weak binding).
std::vector<std::string> exportedSymbols() {
    std::vector<std::string> symbols;
    std::istringstream lines(run("readelf --dyn-syms -W '" + libraryPath() + "'"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string num, value, size, type, bind, visibility, section, name;
        fields >> num >> value >> size >> type >> bind >> visibility >> section >> name;
        if (!fields) continue;  // a heading or an empty line
        if (num.back() != ':' || section == "UND") continue;
        if (bind != "GLOBAL" && bind != "WEAK" && bind != "UNIQUE") continue;
        name = name.substr(0, name.find('@'));  // drop a symbol version
        symbols.push_back(demangle(name));
    }
    return symbols;
}

bool belongsToAdapter(const std::string& symbol) {
    for (const char* prefix : {"ZVRMLAdapter::", "vtable for ZVRMLAdapter",
                               "typeinfo for ZVRMLAdapter", "typeinfo name for ZVRMLAdapter"}) {
        if (symbol.rfind(prefix, 0) == 0) return true;
    }
    return symbol == "Sceneport_get_module_info" || symbol == "__localFnToKeepSceneportDllLoaded";
}

class LibrarySymbols : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(libraryPath().empty()) << "libSceneport.so not found";
        symbols = exportedSymbols();
        ASSERT_FALSE(symbols.empty()) << "no dynamic symbols read from " << libraryPath();
    }
    bool has(const std::string& symbol) const {
        return std::find(symbols.begin(), symbols.end(), symbol) != symbols.end();
    }
    std::vector<std::string> symbols;
};

TEST_F(LibrarySymbols, EveryExportBelongsToTheAdapterOrTheModuleFunctions) {
    for (const std::string& symbol : symbols) {
        EXPECT_TRUE(belongsToAdapter(symbol)) << "unexpected export: " << symbol;
    }
}

TEST_F(LibrarySymbols, NeitherTheWriterNorTheStandardLibraryLeaks) {
    for (const std::string& symbol : symbols) {
        EXPECT_EQ(symbol.find("ZVRMLWriter"), std::string::npos) << symbol;
        EXPECT_EQ(symbol.find("globalVRMLWriter"), std::string::npos) << symbol;
        EXPECT_NE(symbol.rfind("std::", 0), 0u) << symbol;
        EXPECT_EQ(symbol.find(" for std::"), std::string::npos) << symbol;
    }
}

TEST_F(LibrarySymbols, TheAdapterMembersAHostNeedsAreExported) {
    const std::set<std::string> expected = {
        "ZVRMLAdapter::ZVRMLAdapter()",
        "ZVRMLAdapter::ZVRMLAdapter(ZVRMLAdapter const&)",
        "ZVRMLAdapter::~ZVRMLAdapter()",
        "ZVRMLAdapter::operator=(ZVRMLAdapter const&)",
        "ZVRMLAdapter::ExportParams::ExportParams()",
        "ZVRMLAdapter::ExportParams::ExportParams(ZVRMLAdapter::ExportParams const&)",
        "ZVRMLAdapter::ExportParams::~ExportParams()",
        "ZVRMLAdapter::ExportParams::operator=(ZVRMLAdapter::ExportParams const&)",
        "ZVRMLAdapter::_ContourExportInfoStr::_ContourExportInfoStr()",
        "ZVRMLAdapter::_ContourExportInfoStr::~_ContourExportInfoStr()",
        "ZVRMLAdapter::getFilename(int, GuString&)",
        "ZVRMLAdapter::displayExportingInfoMessage(GuString const&)",
        "ZVRMLAdapter::initialize()",
        "vtable for ZVRMLAdapter",
        "typeinfo for ZVRMLAdapter",
        "typeinfo name for ZVRMLAdapter",
    };
    for (const std::string& symbol : expected) EXPECT_TRUE(has(symbol)) << "missing: " << symbol;
}

// A build with AddressSanitizer (CMakePresets.json) links every library, this one too, against
// the runtimes of the sanitizers it was built with; the test is built with the same flags.
#ifdef __SANITIZE_ADDRESS__
constexpr const char* kSanitizerRuntimes = "|libasan|libubsan";
#else
constexpr const char* kSanitizerRuntimes = "";
#endif

TEST(LibraryDependencies, OnlyTheHostAndTheLanguageRuntimeAreNeeded) {
    ASSERT_FALSE(libraryPath().empty()) << "libSceneport.so not found";
    const std::string dynamic = run("readelf -d -W '" + libraryPath() + "'");
    const std::regex neededEntry(R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])");
    const std::regex allowed(R"((libsceneport_host|libstdc\+\+|libm|libgcc_s|libc)" + std::string(kSanitizerRuntimes) +
                             R"()\.so(\.[0-9]+)*)");

    std::vector<std::string> needed;
    for (auto it = std::sregex_iterator(dynamic.begin(), dynamic.end(), neededEntry);
         it != std::sregex_iterator(); ++it) {
        needed.push_back((*it)[1]);
    }
    ASSERT_FALSE(needed.empty()) << dynamic;
    for (const std::string& library : needed) {
        EXPECT_TRUE(std::regex_match(library, allowed)) << "unexpected dependency: " << library;
    }
    EXPECT_TRUE(std::any_of(needed.begin(), needed.end(), [](const std::string& library) {
        return library.rfind("libsceneport_host.so", 0) == 0;
    }));
}

}  // namespace
