// Where the benchmark's files go: a directory the user chose, or a temporary one that goes with
// its files when the benchmark ends, also when it ends on an error.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace bench {

class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& chosen) {
        if (!chosen.empty()) {
            m_path = chosen;
            std::filesystem::create_directories(m_path);
            return;
        }
        std::string pattern = (std::filesystem::temp_directory_path() / "sceneport-bench.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a directory in " + std::filesystem::temp_directory_path().string());
        m_path = pattern;
        m_owned = true;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (m_owned && !m_keep) std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    void keep() { m_keep = true; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    bool m_owned = false;
    bool m_keep = false;
};

}  // namespace bench
