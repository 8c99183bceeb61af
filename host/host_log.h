// What the host shows and frees, kept so that a test (or the command) can see every effect of
// the plug-in's calls, and the absence of one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct ConsoleLine {
    int type;           // _ZGenMessageType
    std::wstring text;  // the formatted line, with "<a>" and "</a>" around a link
    bool link;          // written through ZGenWriteConsoleLinkMessage
};

struct UserMessage {
    int type;
    std::string text;
};

struct FreeRecord {
    const void* pointer;
    std::string sourceFile;
    int line;
    bool handedOut;  // the pointer was one the host had handed over (and is now released)
};

class HostLog {
public:
    std::vector<ConsoleLine> console;    // ZGenWriteConsoleMessage, ZGenWriteConsoleLinkMessage
    std::vector<std::string> prompts;    // LumoPromptSetSimple, in order
    std::vector<UserMessage> messages;   // ApplicationMessage
    std::vector<FreeRecord> frees;       // ZGuFree, null pointers included

    // Calls to the host function named `function` (its plain name, e.g. "FePartGetMeshData")
    // since the session was last reset.
    long calls(std::string_view function) const;
    // Blocks of host memory handed over and not yet released with ZGuFree.
    long outstandingAllocations() const;

    void clear();
};

HostLog& hostLog();

// Someone who shows the host's output as it happens (the command prints it); the log records it
// either way. Null removes the display.
struct Display {
    std::function<void(const ConsoleLine&)> console;
    std::function<void(std::string_view)> prompt;
    std::function<void(const UserMessage&)> message;
};
void setDisplay(const Display* display);
const Display* currentDisplay();

}  // namespace host
