// The yardstick for the export: the same lists of numbers (coordinates, face indices, texture
// coordinates, face colours) laid out as the export lays them out, but formatted with
// std::to_chars straight into a 4 MiB buffer that goes to the file with fwrite. Nothing is
// converted, checked or dispatched per number, so this is about as fast as this text can be
// written on the machine.
#pragma once

#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace bench {

class BaselineFile {
public:
    // Throws std::runtime_error naming the file when it cannot be opened.
    explicit BaselineFile(const std::string& path);
    ~BaselineFile();
    BaselineFile(const BaselineFile&) = delete;
    BaselineFile& operator=(const BaselineFile&) = delete;

    void text(std::string_view text);
    void tabs(int count);
    void integer(int value);
    void sixDecimals(double value);   // as printf's "%f"
    void shortest(float value);       // the shortest text that reads back as the same float
    // Flushes and closes; throws when a write failed. The destructor closes quietly.
    void close();
    long long bytes() const { return m_written + static_cast<long long>(m_used); }

private:
    static constexpr std::size_t kBufferBytes = std::size_t{4} << 20;
    // Room for the longest single piece (a number, a run of tabs).
    static constexpr std::size_t kLongestPiece = 512;

    char* room(std::size_t bytes);
    void flush();

    std::string m_path;
    std::FILE* m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    long long m_written = 0;
    bool m_failed = false;
};

}  // namespace bench
