// Shows the host's output in a terminal, as the host's own window would: the prompt line is the
// progress display on stderr (overwritten in place on a terminal), the console goes to stdout
// (its links as terminal hyperlinks on a terminal, plain paths otherwise), messages to stderr.
#pragma once

#include "host_log.h"

#include <functional>
#include <string>
#include <string_view>

namespace sceneport {

class TerminalDisplay {
public:
    // `expectedPrompts` numbers the progress lines ("[3/24] Exporting ..."); 1 shows none.
    // `promptSeen`, when given, learns of every prompt, shown or not.
    TerminalDisplay(bool quiet, int expectedPrompts,
                    std::function<void(std::string_view)> promptSeen = nullptr);
    ~TerminalDisplay();
    TerminalDisplay(const TerminalDisplay&) = delete;
    TerminalDisplay& operator=(const TerminalDisplay&) = delete;

    // Ends the progress line, so that what follows starts on a line of its own.
    void endProgress();

private:
    void showPrompt(std::string_view text);
    void showConsole(const host::ConsoleLine& line);
    void showMessage(const host::UserMessage& message);

    host::Display m_display;
    std::function<void(std::string_view)> m_promptSeen;
    bool m_quiet;
    int m_expectedPrompts;
    int m_prompts = 0;
    bool m_stderrIsTerminal;
    bool m_stdoutIsTerminal;
    bool m_progressShown = false;
};

// A console line as text: "<a>target</a>" becomes a terminal hyperlink to the file when
// `terminal` is set, the plain target otherwise.
std::string consoleText(std::wstring_view line, bool terminal);

}  // namespace sceneport
