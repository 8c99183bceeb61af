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
constexpr std::string_view kMshFormatStart = "$MeshFormat";
constexpr std::array<std::string_view, 2> kMsh1Starts{"$NOD", "$NOE"};

// How the sections of MSH 2 and 4 files end, and those of MSH 1, in lower case.
constexpr std::array<std::string_view, 14> kSectionEnds{
    "$endmeshformat", "$endphysicalnames", "$endentities", "$endpartitionedentities", "$endnodes", "$endelements",
    "$endperiodic", "$endghostelements", "$endparametrizations", "$endnodedata", "$endelementdata",
    "$endelementnodedata", "$endinterpolationscheme", "$endcomments"};
constexpr std::array<std::string_view, 3> kMsh1SectionEnds{"$endnod", "$endelm", "$endnoe"};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void reject(const std::filesystem::path& path, const std::string& why) {
    throw ModelReadError(path.string() + ": " + why);
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return lower;
}

bool hasMeshExtension(const std::filesystem::path& path) {
    const std::string extension = lowerCase(path.extension().string());
    return std::find(kMeshExtensions.begin(), kMeshExtensions.end(), extension) != kMeshExtensions.end();
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether the file's last line, blanks aside, closes a section: one of `sectionEnds` ("$EndNodes",
// "$ENDELM" in MSH 1), or the end of a section of the file's own ("$EndMyData"), but not the
// start of one of the known ends ("$EndNode"). Every MSH file ends so; one cut short ends inside a section,
// and Gmsh then reads what came before without a word, or fails without saying why.
template <std::size_t Count>
bool endsWithSectionEnd(std::FILE* file, const std::array<std::string_view, Count>& sectionEnds) {
    constexpr long kTail = 256;  // far more than the longest section name
    if (std::fseek(file, 0, SEEK_END) != 0) return true;  // cannot tell: let Gmsh judge
    const long size = std::ftell(file);
    std::array<char, kTail> tail{};
    if (size < 0 || std::fseek(file, std::max(0L, size - kTail), SEEK_SET) != 0) return true;
    std::string_view text(tail.data(), std::fread(tail.data(), 1, tail.size(), file));
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    const std::size_t lineStart = text.find_last_of('\n');
    const std::string last = lowerCase(lineStart == std::string_view::npos ? text : text.substr(lineStart + 1));
    if (!last.starts_with("$end") || last.size() == 4) return false;
    const bool knownEnd = std::find(sectionEnds.begin(), sectionEnds.end(), last) != sectionEnds.end();
    return knownEnd || std::none_of(sectionEnds.begin(), sectionEnds.end(),
                                    [&last](std::string_view end) { return end.starts_with(last); });
}

std::string extensionList() {
    std::string list;
    for (std::string_view extension : kMeshExtensions) list.append(list.empty() ? "" : ", ").append(extension);
    return list;
}

}  // namespace

void checkModelFile(const std::filesystem::path& path) {
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) reject(path, std::string("cannot be read: ") + std::strerror(errno));
    std::array<char, 16> start{};
    const std::string_view head(start.data(), std::fread(start.data(), 1, start.size(), file.get()));
    if (head.empty()) reject(path, "is empty");

    const bool startsAsMsh1 =
        std::any_of(kMsh1Starts.begin(), kMsh1Starts.end(), [head](std::string_view s) { return head.starts_with(s); });
    const bool startsAsMsh = startsAsMsh1 || head.starts_with(kMshFormatStart);
    const bool ends = startsAsMsh1 ? endsWithSectionEnd(file.get(), kMsh1SectionEnds)
                                   : endsWithSectionEnd(file.get(), kSectionEnds);
    if (startsAsMsh && !ends)
        reject(path, "is cut short or damaged: it starts as an MSH file does but does not end with the end of a "
                     "section ($End...)");
    if (!startsAsMsh && !hasMeshExtension(path))
        reject(path, "not a mesh file: it does not start as an MSH file does, and its extension names no other "
                     "mesh format Gmsh reads (" + extensionList() + "), so Gmsh would run it as a script");
}

}  // namespace host::io
