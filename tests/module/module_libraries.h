// The two builds of the plug-in that the module tests open themselves, as a host does: the
// product (pinned on load) and the test build without the pinning.
#pragma once

#include <dlfcn.h>

#include <cstdlib>
#include <string>

namespace module_testing {

// `file` in the directory that the environment variable `variable` names (ctest sets both).
inline std::string libraryIn(const char* variable, const char* file) {
    const char* directory = std::getenv(variable);
    return directory != nullptr ? std::string(directory) + "/" + file : std::string();
}

inline std::string productLibrary() { return libraryIn("SCENEPORT_LIB_DIR", "libSceneport.so"); }

inline std::string unpinnedLibrary() {
    return libraryIn("SCENEPORT_TEST_LIB_DIR", "libSceneport_unpinned.so");
}

// Whether the process has the library loaded; does not load it.
inline bool isLoaded(const std::string& library) {
    void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

}  // namespace module_testing
