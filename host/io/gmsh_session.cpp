#include "gmsh_session.h"

#include "utf8_text.h"

#include <gmsh.h>

#include <string_view>

namespace host::io {
namespace {

// Gmsh's messages quote what it read, binary garbage included: keep them valid UTF-8 without
// control characters. Bytes that are not UTF-8 are taken as Latin-1, as the host reads text.
std::string printable(std::string_view message) {
    std::wstring wide(message.size(), L'\0');
    wide.resize(utf8::decode(message, wide));
    for (wchar_t& c : wide)
        if (c < 0x20 || (c >= 0x7f && c < 0xa0)) c = L'?';
    std::string out(utf8::encodedSize(wide), '\0');
    out.resize(utf8::encode(wide, out));
    return out;
}

bool takeWithPrefix(std::string_view line, std::string_view prefix, std::vector<std::string>& into) {
    if (!line.starts_with(prefix)) return false;
    into.push_back(printable(line.substr(prefix.size())));
    return true;
}

}  // namespace

std::string GmshReport::summary() const {
    if (errors.empty()) return {};
    std::string text = errors.front();
    if (errors.size() > 1)
        text += " (" + std::to_string(errors.size() - 1) + " more error" + (errors.size() > 2 ? "s" : "") +
                ", the last: " + errors.back() + ")";
    return text;
}

void startGmsh() {
    static const bool started = [] {
        gmsh::initialize(0, nullptr, false);
        gmsh::option::setNumber("General.Terminal", 0);
        // Thrown errors leave Gmsh's readers half done (an open file, a parser mid-stream, the
        // lock gmsh::open takes), so later reads fail or do nothing: have them logged instead.
        gmsh::option::setNumber("General.AbortOnError", 0);
        gmsh::option::setNumber("General.Verbosity", 2);  // errors and warnings
        return true;
    }();
    (void)started;
}

GmshReport runGmsh(const std::function<void()>& request) {
    startGmsh();
    // Gmsh keeps messages only while its logger runs; stop it however the request ends.
    struct Logging {
        Logging() { gmsh::logger::start(); }
        ~Logging() { gmsh::logger::stop(); }
        Logging(const Logging&) = delete;
        Logging& operator=(const Logging&) = delete;
    } logging;
    std::string thrown;
    try {
        request();
    } catch (const std::string& message) {
        thrown = printable(message);
    }
    std::vector<std::string> log;
    gmsh::logger::get(log);
    GmshReport report;
    for (const std::string& line : log)
        if (!takeWithPrefix(line, "Error: ", report.errors)) takeWithPrefix(line, "Warning: ", report.warnings);
    // A thrown error was logged first, unless Gmsh threw before logging it.
    if (!thrown.empty() && (report.errors.empty() || report.errors.back() != thrown)) report.errors.push_back(thrown);
    return report;
}

}  // namespace host::io
