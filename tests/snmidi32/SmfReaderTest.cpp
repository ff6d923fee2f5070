#include "LoadedLibrary.h"
#include "SmfBytes.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void save(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

// Every record of every track, read in chunks of `chunk` records.
std::vector<std::vector<MIDIEVENT>> readAll(LoadedLibrary &lib, SNHANDLE h, uint32_t tracks, uint32_t chunk = 8192)
{
    std::vector<std::vector<MIDIEVENT>> result(tracks);
    std::vector<MIDIEVENT> buffer(chunk);
    for (uint32_t t = 0; t < tracks; ++t) {
        for (int guard = 0; guard < 1000000; ++guard) {
            const uint32_t n = lib.ReadSMF(h, t, buffer.data(), chunk);
            EXPECT_LE(n, chunk);
            if (n == 0)
                break;
            result[t].insert(result[t].end(), buffer.begin(), buffer.begin() + n);
        }
        EXPECT_EQ(lib.ReadSMF(h, t, buffer.data(), chunk), 0u) << "a finished track stays finished";
    }
    return result;
}

struct Rec {
    uint32_t time;
    int status, data1, data2;
};

void expectRecords(const std::vector<MIDIEVENT> &got, const std::vector<Rec> &want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].time, want[i].time) << "record " << i;
        EXPECT_EQ(got[i].status, want[i].status) << "record " << i;
        EXPECT_EQ(got[i].data1, want[i].data1) << "record " << i;
        EXPECT_EQ(got[i].data2, want[i].data2) << "record " << i;
    }
}

} // namespace

TEST(SmfReaderTest, RunningStatusSkippedEventsAndTempoRecords)
{
    TemporaryFolder folder;
    const std::string path = folder.file("song.mid");
    SmfBytes file;
    file.header(1, 2, 96)
        .track(body({0x00, 0xFF, 0x03, 0x04, 'B', 'e', 'a', 't',  // name
                     0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,    // 500000 us
                     0x10, 0xFF, 0x58, 0x04, 4, 2, 24, 8,         // time signature: skipped, delta 16 kept
                     0x20, 0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80,    // 400000 us after 16 + 32
                     0x05, 0xFF, 0x51, 0x02, 0x01, 0x02,          // a short one still counts
                     0x00, 0xFF, 0x2F, 0x00}))
        .track(body({0x00, 0xC9, 0x10,                   // program change: one data byte
                     0x00, 0x99, 36, 100,                // note on
                     0x0A, 38, 90,                       // running status
                     0x04, 0xF0, 0x03, 0x43, 0x12, 0xF7, // SysEx skipped, delta 4 kept
                     0x02, 36, 0,                        // running status survives it
                     0x81, 0x00, 0x89, 38, 64,           // two-byte delta 128
                     0x00, 0xFF, 0x7F, 0x02, 0x00, 0x01, // sequencer-specific skipped
                     0x03, 0xE0, 0x00, 0x40,
                     0x00, 0xFF, 0x2F, 0x00,
                     0x00, 0x90, 1, 1}));                // after End of Track: ignored
    save(path, file.bytes);

    LoadedLibrary lib;
    uint32_t format = 99, tracks = 0;
    const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'r', &tracks);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(format, 1u);
    ASSERT_EQ(tracks, 2u);
    EXPECT_EQ(lib.GetSMFResolution(h), 96);

    for (uint32_t chunk : {8192u, 1u, 2u}) {
        lib.RewindSMF(h);
        const auto all = readAll(lib, h, tracks, chunk);
        expectRecords(all[0], {{0, 0, 0x07, 0xA1}, {48, 0, 0x06, 0x1A}, {5, 0, 0x01, 0x02}});
        expectRecords(all[1], {{0, 0xC9, 0x10, 0}, {0, 0x99, 36, 100}, {10, 0x99, 38, 90}, {6, 0x99, 36, 0},
                               {128, 0x89, 38, 64}, {3, 0xE0, 0x00, 0x40}});
    }

    // One answer per Set Tempo record, in order, then the last again; a rewind starts over.
    auto tempo = [&](uint32_t track) {
        uint8_t *data = nullptr;
        uint32_t length = 0;
        if (lib.ReadMetaEvent(h, track, 0x51, &data, &length) == -1)
            return std::vector<uint8_t>{0xEE};
        return std::vector<uint8_t>(data, data + length);
    };
    EXPECT_EQ(tempo(0), body({0x07, 0xA1, 0x20}));
    EXPECT_EQ(tempo(0), body({0x06, 0x1A, 0x80}));
    EXPECT_EQ(tempo(0), body({0x01, 0x02}));
    EXPECT_EQ(tempo(0), body({0x01, 0x02}));
    lib.RewindSMF(h);
    EXPECT_EQ(tempo(0), body({0x07, 0xA1, 0x20}));
    EXPECT_EQ(tempo(1), body({0xEE}));

    uint8_t *data = nullptr;
    uint32_t length = 0;
    ASSERT_EQ(lib.ReadMetaEvent(h, 0, 0x03, &data, &length), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(data), length), "Beat");
    ASSERT_EQ(lib.ReadMetaEvent(h, 0, 0x03, &data, &length), 0);  // other types: always the first
    EXPECT_EQ(std::string(reinterpret_cast<char *>(data), length), "Beat");
    EXPECT_EQ(lib.ReadMetaEvent(h, 1, 0x03, &data, &length), -1);
    EXPECT_EQ(lib.ReadMetaEvent(h, 5, 0x03, &data, &length), -1);
    MIDIEVENT one;
    EXPECT_EQ(lib.ReadSMF(h, 2, &one, 1), 0u);
    EXPECT_EQ(lib.WriteSMF(h, 0, &one, 1), 0u);  // opened for reading
    EXPECT_EQ(lib.CloseSMF(h), 0);
    EXPECT_NE(lib.CloseSMF(h), 0);
}

// Crafted bad files: none may crash or read outside the file (the suite also runs under
// AddressSanitizer); each either is refused or yields exactly its readable part.
TEST(SmfReaderTest, BadFilesAreRefusedOrReadAsFarAsTheyGo)
{
    const std::vector<uint8_t> good = body({0x00, 0x99, 36, 100, 0x10, 0x89, 36, 0, 0x00, 0xFF, 0x2F, 0x00});
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
        bool opens;
        std::vector<size_t> recordsPerTrack;
    };
    const std::vector<Case> cases = {
        {"empty file", {}, false, {}},
        {"header cut short", SmfBytes().text("MThd").be32(6).be16(1).bytes, false, {}},
        {"not a MIDI file", SmfBytes().text("RIFF1234WAVEfmt ").bytes, false, {}},
        {"header length below 6", SmfBytes().text("MThd").be32(4).be16(0).be16(1).be16(96).bytes, false, {}},
        {"header length past the end", SmfBytes().text("MThd").be32(600).be16(0).be16(1).be16(96).bytes, false, {}},
        {"SMPTE division", SmfBytes().header(1, 1, 0xE728).track(good).bytes, false, {}},
        {"resolution 0", SmfBytes().header(1, 1, 0).track(good).bytes, false, {}},
        {"format 7", SmfBytes().header(7, 1, 96).track(good).bytes, false, {}},
        {"good", SmfBytes().header(0, 1, 96).track(good).bytes, true, {2}},
        {"more tracks promised than present", SmfBytes().header(1, 5, 96).track(good).track(good).bytes, true, {2, 2}},
        {"no track at all", SmfBytes().header(1, 3, 96).bytes, true, {}},
        {"chunk length past the end", SmfBytes().header(1, 1, 96).track(good, 1000).bytes, true, {2}},
        {"chunk length past the end, cut inside an event",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x10, 0x89}), 0xFFFFFFFF).bytes, true, {1}},
        {"second track cut in its chunk header", SmfBytes().header(1, 2, 96).track(good).text("MTr").bytes, true, {2}},
        {"alien chunk skipped", SmfBytes().header(1, 1, 96).text("XFIH").be32(2).raw({1, 2}).track(good).bytes, true, {2}},
        {"variable-length number of five bytes",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x81, 0x81, 0x81, 0x81, 0x01, 0x89, 36, 0})).bytes,
         true, {1}},
        {"delta running off the end", SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x81})).bytes, true, {1}},
        {"running status at the start of a track",
         SmfBytes().header(1, 2, 96).track(body({0x00, 36, 100, 0x00, 0x99, 36, 100})).track(good).bytes, true, {0, 2}},
        {"meta event longer than the file",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x00, 0xFF, 0x03, 0x8F, 0xFF, 0xFF, 0x7F, 'a'})).bytes,
         true, {1}},
        {"meta type missing", SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x00, 0xFF})).bytes, true, {1}},
        {"SysEx longer than the file",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x00, 0xF0, 0x7F, 0x43})).bytes, true, {1}},
        {"status byte inside a message",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x00, 0x99, 0x90, 100, 0, 0x89, 36, 0})).bytes, true, {1}},
        {"system real-time byte in a track",
         SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x00, 0xF8, 0x00, 0x89, 36, 0})).bytes, true, {1}},
        {"no End of Track", SmfBytes().header(1, 1, 96).track(body({0x00, 0x99, 36, 100, 0x10, 0x89, 36, 0})).bytes, true, {2}},
        {"empty track", SmfBytes().header(1, 1, 96).track({}).bytes, true, {0}},
    };

    TemporaryFolder folder;
    LoadedLibrary lib;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.file("bad.mid");
        save(path, c.bytes);
        uint32_t format = 0, tracks = 77;
        const SNHANDLE h = lib.OpenSMF(path.c_str(), &format, 'r', &tracks);
        ASSERT_EQ(h != 0, c.opens);
        if (!h)
            continue;
        ASSERT_EQ(tracks, c.recordsPerTrack.size());
        const auto all = readAll(lib, h, tracks, 3);
        for (size_t t = 0; t < tracks; ++t)
            EXPECT_EQ(all[t].size(), c.recordsPerTrack[t]) << "track " << t;
        uint8_t *data = nullptr;
        uint32_t length = 0;
        for (uint8_t type : {0x03, 0x51, 0x51, 0x2F})
            lib.ReadMetaEvent(h, 0, type, &data, &length);
        EXPECT_EQ(lib.CloseSMF(h), 0);
    }

    // Files that are not there, not files, or not readable.
    uint32_t format = 0, tracks = 0;
    EXPECT_EQ(lib.OpenSMF(folder.file("missing.mid").c_str(), &format, 'r', &tracks), 0u);
    EXPECT_EQ(lib.OpenSMF(folder.path.c_str(), &format, 'r', &tracks), 0u);
    EXPECT_EQ(lib.OpenSMF("", &format, 'r', &tracks), 0u);
    EXPECT_EQ(lib.OpenSMF(nullptr, &format, 'r', &tracks), 0u);
    const std::string locked = folder.file("locked.mid");
    save(locked, SmfBytes().header(0, 1, 96).track(good).bytes);
    EXPECT_EQ(lib.OpenSMF(locked.c_str(), &format, 'x', &tracks), 0u);
    chmod(locked.c_str(), 0);
    if (geteuid() != 0) {  // root reads anything
        EXPECT_EQ(lib.OpenSMF(locked.c_str(), &format, 'r', &tracks), 0u);
    }
}
