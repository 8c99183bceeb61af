#include "baseline_text.h"

#include <charconv>
#include <cstring>
#include <stdexcept>

namespace bench {

BaselineFile::BaselineFile(const std::string& path)
    : m_path(path), m_file(std::fopen(path.c_str(), "wb")), m_buffer(std::make_unique_for_overwrite<char[]>(kBufferBytes)) {
    if (m_file == nullptr) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
}

BaselineFile::~BaselineFile() {
    if (m_file != nullptr) std::fclose(m_file);
}

void BaselineFile::flush() {
    if (m_used > 0 && std::fwrite(m_buffer.get(), 1, m_used, m_file) != m_used) m_failed = true;
    m_written += static_cast<long long>(m_used);
    m_used = 0;
}

char* BaselineFile::room(std::size_t bytes) {
    if (kBufferBytes - m_used < bytes) flush();
    return m_buffer.get() + m_used;
}

void BaselineFile::text(std::string_view text) {
    if (text.size() > kLongestPiece) {
        flush();
        if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size()) m_failed = true;
        m_written += static_cast<long long>(text.size());
        return;
    }
    std::memcpy(room(text.size()), text.data(), text.size());
    m_used += text.size();
}

void BaselineFile::tabs(int count) {
    for (; count > 0; count -= static_cast<int>(kLongestPiece)) {
        const std::size_t run = std::min<std::size_t>(static_cast<std::size_t>(count), kLongestPiece);
        std::memset(room(run), '\t', run);
        m_used += run;
    }
}

void BaselineFile::integer(int value) {
    char* const first = room(kLongestPiece);
    m_used += static_cast<std::size_t>(std::to_chars(first, first + kLongestPiece, value).ptr - first);
}

void BaselineFile::sixDecimals(double value) {
    char* const first = room(kLongestPiece);
    m_used += static_cast<std::size_t>(
        std::to_chars(first, first + kLongestPiece, value, std::chars_format::fixed, 6).ptr - first);
}

void BaselineFile::shortest(float value) {
    char* const first = room(kLongestPiece);
    m_used += static_cast<std::size_t>(
        std::to_chars(first, first + kLongestPiece, value, std::chars_format::fixed).ptr - first);
}

void BaselineFile::close() {
    flush();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (m_failed || !closed) throw std::runtime_error("writing " + m_path + " failed: " + std::strerror(errno));
}

}  // namespace bench
