#pragma once

#include <cstddef>

// How a device name fits the 32-byte buffer of GetMidiOutDescription and
// GetMidiInDescription: at most 31 bytes, never ending inside a UTF-8 character.
// The library cuts the names it gives with it, and the program cuts again what a
// library of another build gave.

// The length of the longest start of text[0, length) that holds at most limit bytes
// and ends on a whole UTF-8 character: a character cut short at the end, or a tail of
// nothing but continuation bytes, is left out.
inline size_t snMidiNameLength(const char *text, size_t length, size_t limit = 31)
{
    size_t n = length < limit ? length : limit;
    const auto byte = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    // Find where the last character starts and drop it if it does not fit whole.
    size_t start = n;
    while (start > 0 && (byte(start - 1) & 0xC0) == 0x80 && n - start < 3)
        --start;
    if (start == 0)
        return 0;  // empty, or only continuation bytes: nothing whole is left
    const unsigned char lead = byte(start - 1);
    size_t size = 1;
    if ((lead & 0xE0) == 0xC0)
        size = 2;
    else if ((lead & 0xF0) == 0xE0)
        size = 3;
    else if ((lead & 0xF8) == 0xF0)
        size = 4;
    if (lead >= 0x80 && n - (start - 1) < size)
        n = start - 1;
    return n;
}
