// A web page that shows scene files in X_ITE, a VRML browser written in JavaScript: the page, the
// scenes beside it and a copy of X_ITE's files in x_ite/ make a folder that any static web
// server can serve.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sceneport {

// A page that cannot be made; the message says what and where.
class PageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScenePage {
    std::string title;
    std::vector<std::string> files;  // one per frame, relative to the page
    std::vector<int> numbers;        // each file's frame number
    std::vector<double> times;       // each file's frame time
    std::string caption;             // a page of one file: what it shows
};

// X_ITE's files: installed beside the command, else in the repository the command was built in.
// Throws PageError naming where it looked.
std::filesystem::path findXite();

// The page's HTML; `pageName` is the page's own file name, which the page shows when it is
// opened from the file system and cannot load anything.
std::string pageText(const ScenePage& page, std::string_view pageName);

// Writes `pageFile` and copies X_ITE's files from `xite` into x_ite/ beside it; the page appears
// whole or not at all. Throws PageError.
void writeScenePage(const ScenePage& page, const std::filesystem::path& pageFile,
                    const std::filesystem::path& xite);

}  // namespace sceneport
