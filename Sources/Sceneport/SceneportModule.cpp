// The module frame: identification, pinning on load, the unload warning. Compiled into each
// shared library on its own (not into the static library the tests use); a build with
// SCENEPORT_MODULE_NO_PINNING leaves the pinning out and nothing else, so that tests can watch
// an unload happen.
#include "SceneportModule.h"

#include "SceneportBuildInfo.h"
#include "hostgen.h"

#include <dlfcn.h>

#include <cstdlib>

// The identification line; tools that look for the "@(#)" marker print what follows it.
#define SCENEPORT_MODULE_TAG "SPMI"
#define SCENEPORT_WEB_SITE_NOTE "see https://sceneport.org"
#define SCENEPORT_COPYRIGHT "Copyright (c) 2026 the Sceneport developers"

namespace {

// The length of "@(#)" and the tag: the part of the line that only marks it.
constexpr int kMarkerLength = 8;

}  // namespace

// The identification line, through a writable variable: the compiler cannot fold it into the
// function, so the line stays in the file as one piece behind its marker.
const char* sceneportIdentificationLine =
    "@(#)" SCENEPORT_MODULE_TAG "Sceneport version " SCENEPORT_VERSION_STRING
    " (" SCENEPORT_WEB_SITE_NOTE "), built on " SCENEPORT_BUILD_HOST
    " (" __DATE__ " at " __TIME__ ")" SCENEPORT_COPYRIGHT;

const char* Sceneport_get_module_info(int selector) {
    switch (selector) {
        case 0: return "Dynamic linked library";
        case 1: return SCENEPORT_VERSION_STRING;
        default: return sceneportIdentificationLine + kMarkerLength;
    }
}

void __localFnToKeepSceneportDllLoaded() {}

// The exported function under a hidden name. Its address is the same, but a reference to it is
// bound inside the library: the exported name may be interposed by another object in the
// global scope (another build of this library, say), and then its address would name that
// object.
extern "C" void sceneportKeepLoadedAnchor()
    __attribute__((alias("__localFnToKeepSceneportDllLoaded"), visibility("hidden")));

namespace {

// Whether a dlclose can still unload the library; when it cannot, the destructor can only mean
// the process exit.
bool mayBeUnloaded = true;

// Set by an exit handler once the process has begun to exit (see unloadWarning).
bool processIsExiting = false;

void noteProcessExit() { processIsExiting = true; }

// Whether the library came with the program, as a dependency of the executable or preloaded:
// the main program's handle finds only such objects, and those opened with RTLD_GLOBAL once
// their dlopen is done. The loader never unloads them.
bool loadedWithTheProgram() {
    void* program = dlopen(nullptr, RTLD_LAZY);
    if (program == nullptr) return false;
    const bool found = dlsym(program, "__localFnToKeepSceneportDllLoaded") ==
                       reinterpret_cast<void*>(&sceneportKeepLoadedAnchor);
    dlclose(program);
    return found;
}

#ifndef SCENEPORT_MODULE_NO_PINNING
// Opens the library once more by its own file name, with RTLD_NODELETE: from then on no
// dlclose unloads it. RTLD_NOLOAD, because it is loading already. False when that fails, which
// leaves only the chance of an unload later.
bool pinLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&sceneportKeepLoadedAnchor), &info) == 0 ||
        info.dli_fname == nullptr)
        return false;
    return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NODELETE | RTLD_NOLOAD) != nullptr;
}
#endif

__attribute__((constructor)) void onLoad() {
    // Inside a shared object std::atexit registers the handler with the object's DSO handle
    // (__cxa_atexit). Without a handler exit and unload look alike: stay silent then.
    if (std::atexit(noteProcessExit) != 0) mayBeUnloaded = false;
    if (loadedWithTheProgram()) mayBeUnloaded = false;
#ifndef SCENEPORT_MODULE_NO_PINNING
    if (pinLibrary()) mayBeUnloaded = false;
#endif
}

// Runs when the library is unloaded, by dlclose or at process exit. Only the first is worth a
// warning, and at exit the host must not even be called: its libraries' static objects may be
// gone already. When the library cannot be unloaded (pinned, or loaded with the program) this
// can only be the exit. Otherwise the library was opened with dlopen while the program ran, and
// the handler noteProcessExit tells the two apart by when it runs:
//   - exit() runs the exit handlers in the reverse order of their registration. The program's
//     start registered the loader's finalisers, this destructor among them, before the library
//     was opened, so our handler runs first: processIsExiting is set by then.
//   - dlclose runs the library's finalisers alone. This destructor comes first among them; the
//     handler runs after it, through __cxa_finalize, which crtbegin's __do_global_dtors_aux
//     calls from the first entry of the fini array, and that array runs in reverse order.
//     processIsExiting is still clear.
// (A library loaded with the program has its constructor run before the program's start
// registers the loader's finalisers, so there the handler would come too late to tell.)
__attribute__((destructor)) void unloadWarning() {
    if (!mayBeUnloaded || processIsExiting || !ZGenIsDLLUnloadWarningEnabled()) return;
    ZGenWriteConsoleMessage(ZGEN_MESSAGE_WARNING,
                            L"'%s' dll is getting unloaded with application still running!",
                            L"Sceneport");
}

}  // namespace
