#include "export_report.h"

#include "scene_file_check.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace sceneport {

namespace fs = std::filesystem;

std::string whyNotWritable(const std::string& file) {
    const fs::path path(file);
    const fs::path directory = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::error_code error;
    if (!fs::exists(directory, error)) return "the directory " + directory.string() + " does not exist";
    if (!fs::is_directory(directory, error)) return directory.string() + " is not a directory";
    if (fs::is_directory(path, error)) return "a directory of that name is in the way";
    if (access(directory.c_str(), W_OK) != 0) return "the directory " + directory.string() + " is not writable";
    // Asked without creating the file: a failed run leaves nothing behind.
    if (fs::exists(path, error) && access(file.c_str(), W_OK) != 0) return std::strerror(errno);
    return "it could not be opened";
}

void removeUnfinished(const std::string& file, std::string_view lastLine) {
    std::error_code error;
    if (fs::is_regular_file(file, error) && !endsWithLine(file, lastLine)) fs::remove(file, error);
}

void reportLeftOutParts(const ModelStr& model) {
    std::vector<std::string> names;
    for (const auto& part : model.parts)
        if (part->dimensionality() < 2) names.push_back(part->name);
    if (names.empty()) return;
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    std::cout << "Left out " << names.size() << " one-dimensional part" << (names.size() == 1 ? "" : "s")
              << " (" << list << "): scenes hold surfaces and solids only.\n";
}

}  // namespace sceneport
