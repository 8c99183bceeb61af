#include "terminal_display.h"

#include "utf8_text.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace sceneport {
namespace {

constexpr std::string_view kClearLine = "\r\033[K";

std::string toUtf8(std::wstring_view text) {
    std::string bytes(host::utf8::encodedSize(text), '\0');
    bytes.resize(host::utf8::encode(text, bytes));
    return bytes;
}

// A file URL as terminals expect it in a hyperlink: the host name, then the absolute path with
// every byte outside the unreserved set percent-encoded.
std::string fileUrl(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string full = error ? path : absolute.lexically_normal().string();
    char hostName[256] = {};
    if (gethostname(hostName, sizeof hostName - 1) != 0) hostName[0] = '\0';
    std::string url = "file://" + std::string(hostName);
    constexpr std::string_view kPlain = "-._~/";
    for (unsigned char c : full) {
        if (std::isalnum(c) || kPlain.find(static_cast<char>(c)) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        }
    }
    return url;
}

void writeTo(FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

std::string consoleText(std::wstring_view line, bool terminal) {
    const std::string text = toUtf8(line);
    const size_t open = text.find("<a>");
    const size_t close = open == std::string::npos ? std::string::npos : text.find("</a>", open);
    if (close == std::string::npos) return text;
    const std::string target = text.substr(open + 3, close - open - 3);
    const std::string shown = terminal
        ? "\033]8;;" + fileUrl(target) + "\033\\" + target + "\033]8;;\033\\"
        : target;
    return text.substr(0, open) + shown + text.substr(close + 4);
}

TerminalDisplay::TerminalDisplay(bool quiet, int expectedPrompts,
                                 std::function<void(std::string_view)> promptSeen)
    : m_promptSeen(std::move(promptSeen)),
      m_quiet(quiet),
      m_expectedPrompts(expectedPrompts),
      m_stderrIsTerminal(isatty(STDERR_FILENO) != 0),
      m_stdoutIsTerminal(isatty(STDOUT_FILENO) != 0) {
    m_display.prompt = [this](std::string_view text) { showPrompt(text); };
    m_display.console = [this](const host::ConsoleLine& line) { showConsole(line); };
    m_display.message = [this](const host::UserMessage& message) { showMessage(message); };
    host::setDisplay(&m_display);
}

TerminalDisplay::~TerminalDisplay() {
    endProgress();
    host::setDisplay(nullptr);
}

void TerminalDisplay::endProgress() {
    // On a terminal the last progress line goes: the report that follows says it all.
    if (m_progressShown && m_stderrIsTerminal) writeTo(stderr, kClearLine);
    m_progressShown = false;
}

void TerminalDisplay::showPrompt(std::string_view text) {
    ++m_prompts;
    if (m_promptSeen) m_promptSeen(text);
    if (m_quiet) return;
    std::string line;
    if (m_expectedPrompts > 1)
        line = "[" + std::to_string(m_prompts) + "/" + std::to_string(m_expectedPrompts) + "] ";
    line += text;
    writeTo(stderr, m_stderrIsTerminal ? std::string(kClearLine) + line : line + "\n");
    m_progressShown = true;
}

void TerminalDisplay::showConsole(const host::ConsoleLine& line) {
    endProgress();
    if (m_quiet) return;
    std::string text = consoleText(line.text, m_stdoutIsTerminal);
    if (!text.ends_with('\n')) text += '\n';
    writeTo(stdout, text);
}

void TerminalDisplay::showMessage(const host::UserMessage& message) {
    endProgress();
    writeTo(stderr, "sceneport: " + message.text + "\n");
}

}  // namespace sceneport
