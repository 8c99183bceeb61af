#include "file_format.h"

#include "model_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace host::io {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowerCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lower);
    return result;
}

bool holdsAnyCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool matches(const Signature& signature, std::string_view head) {
    if (signature.test != nullptr) return signature.test(head);
    if (signature.prefix.empty() && signature.holds.empty()) return false;  // an unused entry
    return head.starts_with(signature.prefix) && (signature.holds.empty() || holdsAnyCase(head, signature.holds));
}

template <typename Word>
Word wordAt(std::string_view head, std::size_t index) {
    Word word{};
    std::memcpy(&word, head.data() + index * sizeof(Word), sizeof(Word));
    return word;
}

// A d3plot starts with its control block: a 10-word title, then among others the version (word
// 14, a float such as 960 or 971) and the number of dimensions (word 15: 2, 3, 4, 5 or 7), in
// words of 4 or, for double precision, 8 bytes.
template <typename Integer, typename Real>
bool controlWordsOf(std::string_view head) {
    constexpr std::size_t kWords = 64;
    if (head.size() < kWords * sizeof(Integer)) return false;
    const Real version = wordAt<Real>(head, 14);
    const Integer dimensions = wordAt<Integer>(head, 15);
    const Integer nodes = wordAt<Integer>(head, 16);
    return version >= 900 && version < 10000 && nodes >= 0 &&
           (dimensions == 2 || dimensions == 3 || dimensions == 4 || dimensions == 5 || dimensions == 7);
}

bool nameMatches(const FileFormat& format, const std::filesystem::path& path) {
    const std::string extension = lowerCase(path.extension().string());
    const std::string name = lowerCase(path.filename().string());
    return std::any_of(format.extensions.begin(), format.extensions.end(), [&](std::string_view listed) {
        if (listed.empty()) return false;
        return listed.front() == '.' ? extension == listed : name.starts_with(listed);
    });
}

bool hasSignatures(const FileFormat& format) {
    return std::any_of(format.signatures.begin(), format.signatures.end(),
                       [](const Signature& s) { return s.test != nullptr || !s.prefix.empty() || !s.holds.empty(); });
}

[[noreturn]] void reject(const std::filesystem::path& path, const std::string& why) {
    throw ModelReadError(path.string() + ": " + why);
}

std::string readHead(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) reject(path, "no such file");
    if (std::filesystem::is_directory(status)) reject(path, "is a directory");
    if (error) reject(path, "cannot be read: " + error.message());
    if (!std::filesystem::is_regular_file(status)) reject(path, "is not a regular file");
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) reject(path, std::string("cannot be read: ") + std::strerror(errno));
    std::string head(kHeadBytes, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    if (head.empty()) reject(path, "is empty");
    return head;
}

// What the file's first bytes show, for a file no format claims: text or binary, and its start.
std::string looksLike(std::string_view head) {
    const std::string_view start = head.substr(0, std::min<std::size_t>(head.find_first_of("\r\n"), 24));
    const bool text = std::all_of(start.begin(), start.end(),
                                  [](unsigned char c) { return c >= 0x20 && c < 0x7f; });
    return text && !start.empty() ? "it starts with \"" + std::string(start) + "\"" : "it starts with binary data";
}

struct ReaderName {
    ReaderFamily family;
    std::string_view name;
};
constexpr std::array<ReaderName, 7> kReaderNames{{
    {ReaderFamily::Gmsh, "Gmsh"},
    {ReaderFamily::Exodus, "VTK's Exodus II reader"},
    {ReaderFamily::VtkXml, "VTK's XML reader"},
    {ReaderFamily::VtkLegacy, "VTK's legacy reader"},
    {ReaderFamily::EnSight, "VTK's EnSight reader"},
    {ReaderFamily::LsDyna, "VTK's LS-DYNA reader"},
    {ReaderFamily::Cgns, "VTK's CGNS reader"},
}};

}  // namespace

std::string_view readerName(ReaderFamily family) {
    for (const ReaderName& reader : kReaderNames)
        if (reader.family == family) return reader.name;
    return "the reader";
}

bool startsAsD3plot(std::string_view head) {
    return controlWordsOf<std::int32_t, float>(head) || controlWordsOf<std::int64_t, double>(head);
}

const FileFormat* formatByExtension(const std::filesystem::path& path) {
    const auto found = std::find_if(kFileFormats.begin(), kFileFormats.end(),
                                    [&](const FileFormat& format) { return nameMatches(format, path); });
    return found == kFileFormats.end() ? nullptr : &*found;
}

const FileFormat* recogniseFormat(std::string_view head, const std::filesystem::path& path) {
    for (const FileFormat& format : kFileFormats)
        if (std::any_of(format.signatures.begin(), format.signatures.end(),
                        [head](const Signature& s) { return matches(s, head); }))
            return &format;
    const FileFormat* named = formatByExtension(path);
    return named != nullptr && !hasSignatures(*named) ? named : nullptr;
}

std::uintmax_t modelBytes(const std::filesystem::path& path, const FileFormat& format) {
    std::error_code error;
    std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error) bytes = 0;
    if (!format.spansFiles) return bytes;
    const std::string stem = path.stem().string();
    const std::filesystem::path directory = path.parent_path().empty() ? "." : path.parent_path();
    const auto add = [&](const std::filesystem::directory_entry& entry) {
        if (entry.is_regular_file(error) && entry.path() != path) bytes += entry.file_size(error);
    };
    for (const auto& entry : std::filesystem::directory_iterator(directory, error))
        if (entry.path().filename().string().starts_with(stem)) add(entry);
    if (std::filesystem::is_directory(directory / stem, error))
        for (const auto& entry : std::filesystem::recursive_directory_iterator(directory / stem, error)) add(entry);
    return bytes;
}

std::string readFormatList() {
    std::string list;
    for (const FileFormat& format : kFileFormats)
        if (format.reader != ReaderFamily::None) list.append(list.empty() ? "" : ", ").append(format.name);
    return list;
}

const FileFormat& fileFormatOf(const std::filesystem::path& path) {
    const std::string head = readHead(path);
    const FileFormat* format = recogniseFormat(head, path);
    if (format == nullptr) {
        std::string why = "starts like no format Sceneport reads (" + readFormatList() + "): " + looksLike(head);
        if (const FileFormat* named = formatByExtension(path))
            why += "; its name says " + std::string(named->name) + ", so it may be damaged or cut short";
        reject(path, why);
    }
    if (format->reader == ReaderFamily::None) reject(path, std::string(format->advice));
    return *format;
}

}  // namespace host::io
