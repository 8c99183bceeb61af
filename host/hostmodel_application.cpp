// hostmodel: the application, its messages and its product data.
#include "host_calls.h"
#include "host_log.h"
#include "session_state.h"
#include "text_buffers.h"

#include <algorithm>
#include <cmath>

void ApplicationMessage(int type, const char* text) {
    HOST_CALL();
    host::UserMessage message{type, text != nullptr ? text : ""};
    if (const host::Display* display = host::currentDisplay(); display != nullptr && display->message)
        display->message(message);
    host::hostLog().messages.push_back(std::move(message));
}

ZDbs* ApplGetApplObject() {
    HOST_CALL();
    host::SessionState& state = host::sessionState();
    return state.settings.hasApplicationObject ? &state.applicationObject : nullptr;
}

void ApplEnvGetProductNameAndData(char* name, char* data) {
    HOST_CALL();
    const host::ApplicationSettings& settings = host::application();
    host::copyToBuffer(settings.productName, name, 1024);
    host::copyToBuffer(settings.productData, data, 1024);
}

// Relative to the size of the value, never below the absolute floor for values near zero: a
// float carries about seven significant digits, so differences below a millionth of the
// magnitude are noise.
double UtlGetToleranceValue(double value) {
    HOST_CALL();
    return 1e-6 * std::max(1.0, std::fabs(value));
}
