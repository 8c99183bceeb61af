#include "gmsh_file_check.h"

#include "model_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace host::io {
namespace {

// Extensions Gmsh hands to a mesh reader whatever the file holds (it compares them in lower
// case). Every other file Gmsh tells by its first bytes, and runs as a script unless they start
// an MSH file.
constexpr std::array<std::string_view, 15> kMeshExtensions{
    ".bdf", ".diff", ".med", ".mesh", ".mmed", ".nas", ".p3d", ".ply", ".ply2",
    ".rmed", ".stl", ".unv", ".vrml", ".vtk", ".wrl"};

// How MSH files start: version 2 and 4 with their format line, version 1 with its nodes.
constexpr std::array<std::string_view, 3> kMshStarts{"$MeshFormat", "$NOD", "$NOE"};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void reject(const std::filesystem::path& path, const std::string& why) {
    throw ModelReadError(path.string() + ": " + why);
}

bool hasMeshExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return std::find(kMeshExtensions.begin(), kMeshExtensions.end(), extension) != kMeshExtensions.end();
}

std::string extensionList() {
    std::string list;
    for (std::string_view extension : kMeshExtensions) list.append(list.empty() ? "" : ", ").append(extension);
    return list;
}

}  // namespace

void checkModelFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) reject(path, "no such file");
    if (std::filesystem::is_directory(status)) reject(path, "is a directory");
    if (error) reject(path, "cannot be read: " + error.message());
    if (!std::filesystem::is_regular_file(status)) reject(path, "is not a regular file");

    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) reject(path, std::string("cannot be read: ") + std::strerror(errno));
    if (hasMeshExtension(path)) return;

    std::array<char, 16> start{};
    const std::string_view head(start.data(), std::fread(start.data(), 1, start.size(), file.get()));
    if (std::none_of(kMshStarts.begin(), kMshStarts.end(), [head](std::string_view s) { return head.starts_with(s); }))
        reject(path, "not a mesh file: it does not start as an MSH file does, and its extension names no other "
                     "mesh format Gmsh reads (" + extensionList() + "), so Gmsh would run it as a script");
}

}  // namespace host::io
