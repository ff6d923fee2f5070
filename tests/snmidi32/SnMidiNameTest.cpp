#include "SnMidiName.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The length of the UTF-8 sequence a lead byte starts; 0 for a continuation byte.
size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// Whether text is made of whole UTF-8 sequences.
bool whole(const std::string &text)
{
    for (size_t i = 0; i < text.size();) {
        const size_t n = sequenceLength(static_cast<unsigned char>(text[i]));
        if (n == 0 || i + n > text.size())
            return false;
        i += n;
    }
    return true;
}

} // namespace

// Every cut of names built from characters of 1 to 4 bytes, at every limit: the kept start is
// whole, within the limit, and no whole character that would still fit is dropped.
TEST(SnMidiNameTest, KeepsTheLongestWholeStartWithinTheLimit)
{
    const std::vector<std::string> characters{"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\xA5\x81"};
    for (size_t first = 0; first < characters.size(); ++first) {
        for (size_t second = 0; second < characters.size(); ++second) {
            std::string name;
            while (name.size() < 40)
                name += characters[first] + characters[second];
            for (size_t limit = 0; limit <= 34; ++limit) {
                const size_t kept = snMidiNameLength(name.data(), name.size(), limit);
                const std::string start = name.substr(0, kept);
                EXPECT_LE(kept, limit);
                EXPECT_TRUE(whole(start)) << "limit " << limit;
                const size_t next = sequenceLength(static_cast<unsigned char>(name[kept]));
                EXPECT_GT(kept + next, limit) << "a character that fits was dropped, limit " << limit;
            }
        }
    }
}

// A name already cut short inside a character (by a library of another build) loses the broken
// tail; stray continuation bytes alone leave nothing.
TEST(SnMidiNameTest, DropsABrokenTail)
{
    struct Case {
        std::string name;
        size_t kept;
    };
    const std::vector<Case> cases{
        {"Synth \xE2\x82", 6},
        {"Synth \xF0\x9F\xA5", 6},
        {"Synth \xC3", 6},
        {"\x82\x82", 0},
        {"", 0},
        {"Synth \xC3\xA9", 8},
    };
    for (const Case &c : cases)
        EXPECT_EQ(snMidiNameLength(c.name.data(), c.name.size()), c.kept) << c.name;
}
