// The module frame of libSceneport.so: what the library tells its host and tools about itself,
// and the function whose address lets the library keep itself loaded.
//
// On load the library pins itself, so that it stays in the process until the process ends,
// whatever the host's dlclose calls. Should it be unloaded all the same while the process goes
// on, it warns on the host console when the host asks for that (ZGenIsDLLUnloadWarningEnabled).
// At process exit it stays silent and does not call the host at all.
#pragma once

#include "SceneportApi.h"

extern "C" {

// Text about the module. It is constant, NUL-terminated, owned by the library and valid while
// the library is loaded; the caller never frees it.
//   selector 0: "Dynamic linked library".
//   selector 1: the version, "MAJOR.MINOR.PATCH.BUILDID": the project version (the one in the
//               library's file name and, by its major, in its SONAME) and eleven lowercase
//               hexadecimal digits naming the source's commit ("00000000000" for a build
//               outside a git checkout).
//   any other:  the identification line, "Sceneport version <version> (see <web site>), built
//               on <host> (<Mmm dd yyyy> at <hh:mm:ss>)" followed directly by the copyright
//               notice. The library file holds it behind "@(#)" and a four-character tag, where
//               tools that look for that marker find it.
SCENEPORT_API const char* Sceneport_get_module_info(int selector);

// Does nothing. Its address identifies the library file when the library pins itself on load.
SCENEPORT_API void __localFnToKeepSceneportDllLoaded();

}  // extern "C"
