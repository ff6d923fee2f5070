#include "LoadedLibrary.h"
#include "OtherReaderCheck.h"
#include "SmfBytes.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace {

std::vector<uint8_t> load(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<MIDIEVENT> readTrack(LoadedLibrary &lib, SNHANDLE h, uint32_t track)
{
    std::vector<MIDIEVENT> all;
    MIDIEVENT buffer[8192];
    while (uint32_t n = lib.ReadSMF(h, track, buffer, 8192))
        all.insert(all.end(), buffer, buffer + n);
    return all;
}

} // namespace

TEST(SmfWriterTest, WritesMetaEventsFirstAtEqualTicksWithRunningStatus)
{
    TemporaryFolder folder;
    const std::string path = folder.file("out.mid");
    LoadedLibrary lib;
    uint32_t format = 0, tracks = 0;
    const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'w', &tracks);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(lib.GetSMFResolution(h), 480);
    EXPECT_EQ(lib.SetSMFResolution(h, 0), 1);
    EXPECT_NE(lib.SetSMFResolution(h, 0x8000 | 25), 0);
    EXPECT_EQ(lib.SetSMFResolution(h, 96), 0);

    const MIDIEVENT records[] = {
        {0, 0x99, 36, 100, 0}, {48, 0x99, 38, 0xE4, 0}, {0, 0x00, 0, 0, 0} /* skipped, delta kept */,
        {48, 0xC9, 5, 77, 0},  {0, 0xFE, 0, 0, 0},       {10, 0x89, 36, 0, 0},
    };
    EXPECT_EQ(lib.WriteMetaEvent(h, 0, 0x51, "\x07\xA1\x20", 96), 0);
    EXPECT_EQ(lib.WriteMetaEvent(h, 0, 0x03, "Kit", 0), 0);
    EXPECT_EQ(lib.WriteSMF(h, 0, records, 6), 6u);
    EXPECT_NE(lib.SetSMFResolution(h, 192), 0);  // too late: a track has been written
    EXPECT_NE(lib.WriteMetaEvent(h, 0, 0x7F, "x", 0), 0);
    EXPECT_NE(lib.WriteMetaEvent(h, 0, 0x03, nullptr, 0), 0);
    EXPECT_EQ(lib.ReadMetaEvent(h, 0, 0x03, nullptr, nullptr), -1);  // opened for writing
    EXPECT_EQ(lib.CloseSMF(h), 0);

    const std::vector<uint8_t> expected =
        SmfBytes()
            .header(0, 1, 96)
            .track(body({0x00, 0xFF, 0x03, 0x03, 'K', 'i', 't',
                         0x00, 0x99, 36, 100,
                         0x30, 38, 0x64,                        // running status, data masked
                         0x30, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tick 96: the meta event comes first
                         0x00, 0xC9, 5,                         // after a meta event the status is repeated
                         0x0A, 0x89, 36, 0,
                         0x00, 0xFF, 0x2F, 0x00}))
            .bytes;
    EXPECT_EQ(load(path), expected);
}

// A generated multi-track song with tempo changes and names reads back as written.
TEST(SmfWriterTest, GeneratedSongReadsBackIdentically)
{
    TemporaryFolder folder;
    const std::string path = folder.file("song.mid");
    std::mt19937 random(20261209);
    constexpr uint32_t trackCount = 4;
    std::vector<std::vector<MIDIEVENT>> written(trackCount);
    const uint8_t statuses[] = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0};
    for (uint32_t t = 1; t < trackCount; ++t) {
        for (int i = 0; i < 20000; ++i) {
            MIDIEVENT e{};
            e.time = random() % 4 == 0 ? random() % 2000 : 0;
            e.status = uint8_t(statuses[random() % 7] | (random() % 16));
            e.data1 = uint8_t(random() % 128);
            e.data2 = (e.status & 0xE0) == 0xC0 ? 0 : uint8_t(random() % 128);
            written[t].push_back(e);
        }
    }
    // Tempo changes at ticks 0, 1920, 1920 and 50000 of the first track, which has no records.
    const uint32_t tempoTicks[] = {0, 1920, 1920, 50000};
    const char *tempos[] = {"\x07\xA1\x20", "\x06\x1A\x80", "\x05\x00\x01", "\x0F\x42\x40"};

    {
        LoadedLibrary lib;
        uint32_t format = 1, tracks = 0;
        const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'w', &tracks);
        ASSERT_NE(h, 0u);
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(lib.WriteMetaEvent(h, 0, 0x51, tempos[i], tempoTicks[i]), 0);
        ASSERT_EQ(lib.WriteMetaEvent(h, 0, 0x58, "\x04\x02\x18\x08", 0), 0);
        for (uint32_t t = 1; t < trackCount; ++t) {
            const std::string name = "Track " + std::to_string(t);
            ASSERT_EQ(lib.WriteMetaEvent(h, t, 0x03, name.c_str(), 0), 0);
            // Written in two calls: the second appends.
            const uint32_t half = uint32_t(written[t].size() / 2);
            ASSERT_EQ(lib.WriteSMF(h, t, written[t].data(), half), half);
            ASSERT_EQ(lib.WriteSMF(h, t, written[t].data() + half, uint32_t(written[t].size()) - half),
                      written[t].size() - half);
        }
        ASSERT_EQ(lib.CloseSMF(h), 0);
    }

    LoadedLibrary lib;
    uint32_t format = 0, tracks = 0;
    const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'r', &tracks);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(format, 1u);
    ASSERT_EQ(tracks, trackCount);
    EXPECT_EQ(lib.GetSMFResolution(h), 480);

    const std::vector<MIDIEVENT> first = readTrack(lib, h, 0);
    ASSERT_EQ(first.size(), 4u);
    uint32_t tick = 0;
    for (int i = 0; i < 4; ++i) {
        tick += first[i].time;
        EXPECT_EQ(tick, tempoTicks[i]);
        EXPECT_EQ(first[i].status, 0);
        uint8_t *data = nullptr;
        uint32_t length = 0;
        ASSERT_EQ(lib.ReadMetaEvent(h, 0, 0x51, &data, &length), 0);
        EXPECT_EQ(std::string(reinterpret_cast<char *>(data), length), std::string(tempos[i], 3));
    }
    for (uint32_t t = 1; t < trackCount; ++t) {
        const std::vector<MIDIEVENT> got = readTrack(lib, h, t);
        ASSERT_EQ(got.size(), written[t].size()) << "track " << t;
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i].time, written[t][i].time) << "track " << t << " record " << i;
            ASSERT_EQ(got[i].status, written[t][i].status) << "track " << t << " record " << i;
            ASSERT_EQ(got[i].data1, written[t][i].data1) << "track " << t << " record " << i;
            ASSERT_EQ(got[i].data2, written[t][i].data2) << "track " << t << " record " << i;
        }
        uint8_t *data = nullptr;
        uint32_t length = 0;
        ASSERT_EQ(lib.ReadMetaEvent(h, t, 0x03, &data, &length), 0);
        EXPECT_EQ(std::string(reinterpret_cast<char *>(data), length), "Track " + std::to_string(t));
    }
    EXPECT_EQ(lib.CloseSMF(h), 0);
}

// The file is read by another program's MIDI file reader, not only by ours.
TEST(SmfWriterTest, WrittenFilePlaysInAnotherMidiPlayer)
{
    TemporaryFolder folder;
    const std::string path = folder.file("groove.mid");
    {
        LoadedLibrary lib;
        uint32_t format = 1, tracks = 0;
        const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'w', &tracks);
        ASSERT_NE(h, 0u);
        ASSERT_EQ(lib.WriteMetaEvent(h, 0, 0x03, "Tempo", 0), 0);
        ASSERT_EQ(lib.WriteMetaEvent(h, 0, 0x51, "\x07\xA1\x20", 0), 0);      // 120 BPM
        ASSERT_EQ(lib.WriteMetaEvent(h, 0, 0x51, "\x03\xD0\x90", 960), 0);    // 240 BPM after two beats
        ASSERT_EQ(lib.WriteMetaEvent(h, 1, 0x03, "Drums", 0), 0);
        std::vector<MIDIEVENT> groove{{0, 0xC9, 0, 0, 0}};
        for (int i = 0; i < 32; ++i) {
            groove.push_back({i == 0 ? 0u : 120u, 0x99, uint8_t(i % 2 ? 38 : 36), 100, 0});
            groove.push_back({0, 0x99, 42, 80, 0});  // running status, same tick
            groove.push_back({60, 0x99, uint8_t(i % 2 ? 38 : 36), 0, 0});
            groove.push_back({0, 0x89, 42, 0, 0});
        }
        ASSERT_EQ(lib.WriteSMF(h, 1, groove.data(), uint32_t(groove.size())), groove.size());
        ASSERT_EQ(lib.CloseSMF(h), 0);
    }
    const OtherReaderResult other = playWithFluidSynth(path);
    ASSERT_TRUE(other.loaded);
    EXPECT_EQ(other.noteOns, 64);
    EXPECT_EQ(other.noteOffs, 64);
    EXPECT_EQ(other.programChanges, 1);
    EXPECT_EQ(other.finalTempo, 250000);
}
