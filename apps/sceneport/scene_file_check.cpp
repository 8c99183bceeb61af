#include "scene_file_check.h"

#include <fstream>
#include <string>

namespace sceneport {

bool endsWithLine(const std::filesystem::path& file, std::string_view lastLine) {
    // Only the end is read: scene files run to hundreds of megabytes.
    std::ifstream stream(file, std::ios::binary | std::ios::ate);
    if (!stream) return false;
    const std::streamoff size = stream.tellg();
    const auto wanted = static_cast<std::streamoff>(lastLine.size() + 1);  // with its line break
    if (size < wanted) return false;
    std::string tail(static_cast<size_t>(wanted), '\0');
    stream.seekg(size - wanted);
    if (!stream.read(tail.data(), wanted)) return false;
    return tail[0] == '\n' && std::string_view(tail).substr(1) == lastLine;
}

}  // namespace sceneport
