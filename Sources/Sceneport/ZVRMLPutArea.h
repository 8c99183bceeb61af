// Direct access to the put area of the writer's file buffer.
//
// The writer sends every literal, number and tab to its stream on its own, a few bytes at a
// time, hundreds of millions of times for a large model. Through the stream interface each of
// those pieces costs a virtual call and a copy loop in the buffer (or a call per byte), several
// times what copying the bytes takes. Here a piece that fits the free part of the buffer is
// copied straight in; anything else still goes through the buffer's own sputn, which writes out
// a full buffer as usual. The file's bytes do not change, only how they reach the buffer.
//
// The put area pointers are protected members of std::streambuf. A class derived from it may
// name them to form pointers to members, and those apply to any std::streambuf: the standard
// way to reach them without deriving a new buffer type for the writer's std::ofstream.
#pragma once

#include <cstring>
#include <streambuf>

class ZVRMLPutArea : private std::streambuf {
public:
    // True when all `length` bytes went into the buffer (or on through it to the file).
    static bool Write(std::streambuf& buffer, const char* text, std::size_t length) {
        char* const next = (buffer.*next_)();
        if (static_cast<std::size_t>((buffer.*end_)() - next) >= length) {
            copy(next, text, length);
            (buffer.*advance_)(static_cast<int>(length));
            return true;
        }
        return buffer.sputn(text, static_cast<std::streamsize>(length)) ==
               static_cast<std::streamsize>(length);
    }

private:
    // Nearly every piece is a number, a separator or a run of tabs: up to 16 bytes are copied
    // with fixed-size moves (two that may overlap), which the library's memcpy cannot beat for
    // such lengths once its call and dispatch are counted.
    static void copy(char* to, const char* from, std::size_t length) {
        if (length >= 8 && length <= 16) {
            std::memcpy(to, from, 8);
            std::memcpy(to + length - 8, from + length - 8, 8);
        } else if (length >= 4 && length < 8) {
            std::memcpy(to, from, 4);
            std::memcpy(to + length - 4, from + length - 4, 4);
        } else if (length < 4) {
            for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
        } else {
            std::memcpy(to, from, length);
        }
    }

    static constexpr char* (std::streambuf::*next_)() const = &ZVRMLPutArea::pptr;
    static constexpr char* (std::streambuf::*end_)() const = &ZVRMLPutArea::epptr;
    static constexpr void (std::streambuf::*advance_)(int) = &ZVRMLPutArea::pbump;
};
