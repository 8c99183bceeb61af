#include "hostile_corpus.h"

#include "test_support.h"

#include <gmsh.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <regex>

namespace hostile_corpus {

std::string inMshFormat(std::string_view msh2Text, const msh_files::MshFormat& format,
                        const std::filesystem::path& scratch) {
    if (format.version < 3 && !format.binary) return std::string(msh2Text);
    const std::filesystem::path in = scratch / "hand-written.msh", out = scratch / "gmsh-written.msh";
    std::ofstream(in, std::ios::binary) << msh2Text;
    msh_files::newGmshModel();
    gmsh::merge(in.string());
    msh_files::writeGmshFile(out, format);
    gmsh::clear();
    return testing_support::readFile(out);
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xff);
    return bytes;
}

std::vector<std::filesystem::path> scenesIn(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> scenes;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".wrl") scenes.push_back(entry.path());
    std::sort(scenes.begin(), scenes.end());
    return scenes;
}

void expectCompleteAndFinite(const std::filesystem::path& scene) {
    const std::string text = testing_support::readFile(scene);
    EXPECT_TRUE(text.ends_with("\nROUTE prox.orientation_changed TO Spectrum.rotation") ||
                text.ends_with("\nROUTE ci.value_changed TO global_coords.set_point"))
        << scene << " is not complete";
    // A number token: after a blank, a bracket or a comma, up to the next of them.
    static const std::regex notFinite(R"((^|[\s\[,])[-+]?(nan|inf(inity)?)(?=$|[\s\],]))",
                                      std::regex::icase | std::regex::multiline);
    std::smatch found;
    EXPECT_FALSE(std::regex_search(text, found, notFinite)) << scene << " holds \"" << found.str() << "\"";
}

std::vector<std::string> partTransformNames(const std::string& scene) {
    const std::size_t start = scene.find("DEF Global_model Transform");
    const std::size_t end = scene.find("DEF ss SphereSensor");
    std::vector<std::string> names;
    if (start == std::string::npos || end == std::string::npos) return names;
    static const std::regex transform(R"(DEF (\S+) Transform \{)");
    const std::string inside = scene.substr(start + 1, end - start - 1);
    for (auto match = std::sregex_iterator(inside.begin(), inside.end(), transform); match != std::sregex_iterator(); ++match)
        names.push_back((*match)[1].str());
    return names;
}

}  // namespace hostile_corpus
