// hostgen: the host's general services: console messages, the release of host memory, and the
// switch for the plug-in unload warning.
#pragma once

// Message types of the console functions.
enum _ZGenMessageType {
    ZGEN_MESSAGE_WARNING = 0,
    ZGEN_MESSAGE_ERROR = 1,
    ZGEN_MESSAGE_INFO = 2,
};

// Whether the host wants a warning when a plug-in is unloaded while the application still runs.
bool ZGenIsDLLUnloadWarningEnabled();

// Writes one printf-style line to the host console (format conversions as GuString::Format:
// %s takes a wide string; any other than those it lists aborts). The format carries its own line
// break, if any. std::bad_alloc propagates when the line cannot be kept.
void ZGenWriteConsoleMessage(int messageType, const wchar_t* format, ...);

// As ZGenWriteConsoleMessage; text between "<a>" and "</a>" is shown as a link (for a file or a
// directory: the path it names).
void ZGenWriteConsoleLinkMessage(int messageType, const wchar_t* format, ...);

// Releases memory that the host handed over (lists, time arrays, texts). `sourceFile` and
// `line` name the caller's release site. A null pointer is accepted and releases nothing.
// Pointers the host did not hand out are not freed; the host reports them.
void ZGuFree(void* pointer, const char* sourceFile, int line);

// Release passes the host's allocator still asks for (its leak checks set it): a caller repeats
// its ZGuFree, with the pointer already cleared, while this is non-zero. Each ZGuFree call takes
// one pass off, so the loop always ends; the host's usual value 0 gives a single call.
extern int __ZxFreeLoopCount__;
