// What libSceneport.so offers a host that loads it: its dynamic symbols and the libraries it
// needs (the command's own adapter, derived from it, links only if its protected members are
// exported).
#include "SceneportModule.h"
#include "ZVRMLAdapter.h"
#include "scene_text.h"
#include "test_support.h"

#include <cxxabi.h>
#include <dlfcn.h>

#include <memory>
#include <regex>
#include <set>

namespace {

// The library in SCENEPORT_LIB_DIR (ctest sets it), else the one this program was linked with.
std::string library() {
    Dl_info loaded{};
    const std::string set = testing_support::libraryIn("SCENEPORT_LIB_DIR", "libSceneport.so");
    return !set.empty() || dladdr(reinterpret_cast<void*>(&Sceneport_get_module_info), &loaded) == 0 ? set : loaded.dli_fname;
}

TEST(Library, Exports) {
    // The demangled names of the symbols the library defines for others.
    std::set<std::string> symbols;
    for (const std::string& name : testing_support::matchesOf(testing_support::readelf("--dyn-syms", library()),
                                                              R"(\d+: \w+ +\d+ \w+ +(?:GLOBAL|WEAK|UNIQUE) +\w+ +(?!UND)\w+ ([^@\s]+))")) {
        std::unique_ptr<char, decltype(&std::free)> text(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, nullptr), &std::free);
        symbols.insert(text ? text.get() : name);
    }
    const std::regex adapter(R"((ZVRMLAdapter::|(vtable|typeinfo|typeinfo name) for ZVRMLAdapter).*)");
    for (const std::string& symbol : symbols)
        EXPECT_TRUE(std::regex_match(symbol, adapter) || symbol == "Sceneport_get_module_info" || symbol == "__localFnToKeepSceneportDllLoaded")
            << "unexpected export: " << symbol;
    for (const char* needed : {"ZVRMLAdapter::ZVRMLAdapter(ZVRMLAdapter const&)", "ZVRMLAdapter::~ZVRMLAdapter()",
                               "ZVRMLAdapter::operator=(ZVRMLAdapter const&)",
                               "ZVRMLAdapter::ExportParams::ExportParams(ZVRMLAdapter::ExportParams const&)",
                               "ZVRMLAdapter::ExportParams::operator=(ZVRMLAdapter::ExportParams const&)",
                               "ZVRMLAdapter::_ContourExportInfoStr::~_ContourExportInfoStr()",
                               "typeinfo for ZVRMLAdapter", "Sceneport_get_module_info"})
        EXPECT_EQ(symbols.count(needed), 1u) << "missing: " << needed;
}

// A host has the host library and the C and C++ runtimes, and a sanitized build's runtimes with it; nothing else.
TEST(Library, Needed) {
    const std::string dynamic = testing_support::readelf("-d", library());
    const std::regex allowed(R"((libsceneport_host|libstdc\+\+|libm|libgcc_s|libc|libasan|libubsan)\.so(\.[0-9]+)*)");
    for (const std::string& name : testing_support::matchesOf(dynamic, R"(\(NEEDED\)\s+Shared library: \[([^\]]+)\])"))
        EXPECT_TRUE(std::regex_match(name, allowed)) << name;
    EXPECT_NE(dynamic.find("[libsceneport_host.so"), std::string::npos) << dynamic;
}

}  // namespace
