// hostwin: the host's window blocks.
#include "host_calls.h"
#include "hostwin.h"
#include "scene.h"

void BlockUtilUpdateSpectrum(WindowStr* window) {
    HOST_CALL();
    if (window != nullptr) window->updateSpectrum();
}
