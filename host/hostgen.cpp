// hostgen: console, release of handed-over memory, the unload-warning switch.
#include "handed_memory.h"
#include "host_calls.h"
#include "host_log.h"
#include "hostgen.h"
#include "session.h"
#include "wide_printf.h"

#include <cstdarg>

int __ZxFreeLoopCount__ = 0;

bool ZGenIsDLLUnloadWarningEnabled() {
    HOST_CALL();
    return host::application().unloadWarningEnabled;
}

namespace {

void writeConsole(int messageType, bool link, const wchar_t* format, va_list arguments) {
    host::ConsoleLine line{messageType, format != nullptr ? host::widePrintf(format, arguments) : std::wstring(), link};
    if (const host::Display* display = host::currentDisplay(); display != nullptr && display->console)
        display->console(line);
    host::hostLog().console.push_back(std::move(line));
}

}  // namespace

void ZGenWriteConsoleMessage(int messageType, const wchar_t* format, ...) {
    HOST_CALL();
    va_list arguments;
    va_start(arguments, format);
    writeConsole(messageType, false, format, arguments);
    va_end(arguments);
}

void ZGenWriteConsoleLinkMessage(int messageType, const wchar_t* format, ...) {
    HOST_CALL();
    va_list arguments;
    va_start(arguments, format);
    writeConsole(messageType, true, format, arguments);
    va_end(arguments);
}

void ZGuFree(void* pointer, const char* sourceFile, int line) {
    HOST_CALL();
    const bool handedOut = host::takeBack(pointer);
    host::hostLog().frees.push_back({pointer, sourceFile != nullptr ? sourceFile : "", line, handedOut});
    if (__ZxFreeLoopCount__ > 0) --__ZxFreeLoopCount__;
}
