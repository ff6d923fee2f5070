#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Builds Standard MIDI File bytes by hand, so that tests can say exactly what a file holds,
// including what a correct writer would never produce.
struct SmfBytes {
    std::vector<uint8_t> bytes;

    SmfBytes &raw(std::initializer_list<int> values)
    {
        for (int v : values)
            bytes.push_back(uint8_t(v));
        return *this;
    }
    SmfBytes &text(const std::string &s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    SmfBytes &be32(uint32_t v) { return raw({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)}); }
    SmfBytes &be16(uint16_t v) { return raw({v >> 8, v & 0xFF}); }
    SmfBytes &header(uint16_t format, uint16_t tracks, uint16_t division)
    {
        return text("MThd").be32(6).be16(format).be16(tracks).be16(division);
    }
    // A track chunk whose length is the body's real length (or the one given).
    SmfBytes &track(const std::vector<uint8_t> &body, int64_t length = -1)
    {
        text("MTrk").be32(uint32_t(length < 0 ? int64_t(body.size()) : length));
        bytes.insert(bytes.end(), body.begin(), body.end());
        return *this;
    }
};

inline std::vector<uint8_t> body(std::initializer_list<int> values)
{
    std::vector<uint8_t> b;
    for (int v : values)
        b.push_back(uint8_t(v));
    return b;
}
