// hostapp: the application root.
#include "host_calls.h"
#include "session_state.h"

namespace zeapputl {

IZEDS3D* GetAppRoot() {
    HOST_CALL();
    return &host::sessionState().root;
}

}  // namespace zeapputl
