#include "scene_page.h"

#include "page_assets.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace sceneport {
namespace {

namespace fs = std::filesystem;

std::string escapedHtml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// A JSON string that may stand inside a <script> element: '<' is escaped, so no "</script>".
std::string jsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || c == '<') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

template <typename Item, typename Format>
std::string jsonArray(const std::vector<Item>& items, Format format) {
    std::string json = "[";
    for (const Item& item : items) json += (json.size() > 1 ? "," : "") + format(item);
    return json + "]";
}

std::string jsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string scenesJson(const ScenePage& page, std::string_view pageName) {
    return "{\"page\":" + jsonString(pageName) +
           ",\"files\":" + jsonArray(page.files, [](const std::string& file) { return jsonString(file); }) +
           ",\"numbers\":" + jsonArray(page.numbers, [](int number) { return std::to_string(number); }) +
           ",\"times\":" + jsonArray(page.times, jsonNumber) +
           ",\"caption\":" + jsonString(page.caption) + "}";
}

void replaceAll(std::string& text, std::string_view placeholder, const std::string& value) {
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
}

fs::path commandDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path();
}

bool holdsXite(const fs::path& directory) {
    std::error_code error;
    return !directory.empty() && fs::is_regular_file(directory / "x_ite.min.js", error);
}

}  // namespace

fs::path findXite() {
    const fs::path installed = (commandDirectory() / kXiteFromCommand).lexically_normal();
    if (holdsXite(installed)) return installed;
    const fs::path built(kXiteBuildDirectory);
    if (holdsXite(built)) return built;
    throw PageError("X_ITE's files are neither in " + installed.string() + " nor in " + built.string() +
                    " (scripts/install-deps installs them with npm ci)");
}

std::string pageText(const ScenePage& page, std::string_view pageName) {
    std::string text(kScenePageTemplate);
    replaceAll(text, "@TITLE@", escapedHtml(page.title));
    replaceAll(text, "@SCENES@", scenesJson(page, pageName));
    return text;
}

void writeScenePage(const ScenePage& page, const fs::path& pageFile, const fs::path& xite) {
    const fs::path folder = pageFile.parent_path().empty() ? fs::path(".") : pageFile.parent_path();
    for (const std::string_view file : kXiteFiles) {
        const fs::path from = xite / file, to = folder / "x_ite" / file;
        std::error_code error;
        fs::create_directories(to.parent_path(), error);
        if (!error) fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
        if (error) throw PageError("cannot copy " + from.string() + " to " + to.string() + ": " + error.message());
    }
    // Written under another name first: a page cut short by a full disk never replaces one that works.
    const fs::path partial = fs::path(pageFile).concat(".part");
    {
        std::ofstream out(partial, std::ios::binary);
        out << pageText(page, pageFile.filename().string());
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(partial, ignored);
            throw PageError("cannot write " + pageFile.string() + (access(folder.c_str(), W_OK) != 0 ? ": the folder is not writable" : ""));
        }
    }
    std::error_code error;
    fs::rename(partial, pageFile, error);
    if (error) throw PageError("cannot write " + pageFile.string() + ": " + error.message());
}

}  // namespace sceneport
