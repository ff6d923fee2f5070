#include "LoadedLibrary.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

uint32_t le32(const std::vector<uint8_t> &b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t le16(const std::vector<uint8_t> &b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

} // namespace

TEST(BuiltInSynthTest, FileAudioRendersInRealTimeIntoAValidWav)
{
    TemporaryFolder folder;
    const std::string wav = folder.file("out.wav");
    constexpr uint32_t bytesPerSecond = 44100 * 4;
    const auto loaded = std::chrono::steady_clock::now();
    LoadedLibrary lib({{"SNMIDI32_AUDIO", "file:" + wav}});
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0);
    ASSERT_GT(synth, 32u);
    MIDIEVENT snare{0, 0x99, 38, 127, 0};
    ASSERT_EQ(lib.PutMidiOut(synth, &snare), 0);
    // Wait for half a second of sound to be rendered.
    ASSERT_TRUE(eventually([&] {
        std::error_code e;
        return std::filesystem::file_size(wav, e) >= 44 + bytesPerSecond / 2;
    }));
    EXPECT_EQ(lib.CloseMidiOut(synth), 0);
    EXPECT_TRUE(lib.unload());  // stops the renderer and completes the header
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - loaded).count();

    std::ifstream in(wav, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 44u + bytesPerSecond / 2);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1);  // PCM
    EXPECT_EQ(le16(b, 22), 2);
    EXPECT_EQ(le32(b, 24), 44100u);
    EXPECT_EQ(le32(b, 28), bytesPerSecond);
    EXPECT_EQ(le16(b, 32), 4);
    EXPECT_EQ(le16(b, 34), 16);
    EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
    EXPECT_EQ(le32(b, 40), b.size() - 44);
    // Paced by the clock: never more sound than time has passed.
    EXPECT_LE(double(b.size() - 44) / bytesPerSecond, elapsed + 0.05);
    int peak = 0;
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        peak = std::max(peak, std::abs(int(int16_t(le16(b, i)))));
    EXPECT_GT(peak, 1000) << "the snare was not heard";
}

TEST(BuiltInSynthTest, AutomaticAudioWithoutASoundSystemStillTakesMessages)
{
    LoadedLibrary lib({{"SNMIDI32_AUDIO", "auto"}});
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0);
    ASSERT_GT(synth, 32u);
    MIDIEVENT volume{0, 0xB9, 7, 100, 0};
    EXPECT_EQ(lib.PutMidiOut(synth, &volume), 0);
    EXPECT_EQ(lib.ResetMidiOut(synth), 0);
    EXPECT_EQ(lib.CloseMidiOut(synth), 0);
}

namespace {

int64_t monotonicMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// Frames (of the left channel) where a sound starts after at least 50 ms of near silence.
std::vector<size_t> onsets(const std::vector<uint8_t> &b)
{
    std::vector<size_t> found;
    long lastLoud = -100000;
    for (size_t frame = 0; 44 + frame * 4 + 1 < b.size(); ++frame) {
        const int sample = std::abs(int(int16_t(le16(b, 44 + frame * 4))));
        if (sample < 300)
            continue;
        if (long(frame) - lastLoud > 44100 / 20)
            found.push_back(frame);
        lastLoud = long(frame);
    }
    return found;
}

} // namespace

// Strokes put all at once for beats due 120 ms apart land 120 ms apart in the file (to the 64-frame
// step the synth renders in), not where the renderer happened to be; a reset forgets a stroke
// that was scheduled and had not sounded yet.
TEST(BuiltInSynthTest, ScheduledMessagesSoundAtTheirDueTimeInTheRenderedFile)
{
    TemporaryFolder folder;
    const std::string wav = folder.file("out.wav");
    const int64_t loaded = monotonicMicros();  // the file starts no earlier than this
    LoadedLibrary lib({{"SNMIDI32_AUDIO", "file:" + wav}, {"SNMIDI32_LATENCY_MS", "0"}});
    ASSERT_NE(lib.SnMidiSetDispatchDue, nullptr);
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0);
    ASSERT_GT(synth, 32u);
    MIDIEVENT stroke{0, 0x99, 37, 127, 0};

    const int64_t first = monotonicMicros() + 300000;
    lib.SnMidiSetDispatchDue(first + 700000);
    ASSERT_EQ(lib.PutMidiOut(synth, &stroke), 0);  // forgotten by the reset below
    lib.SnMidiSetDispatchDue(0);
    ASSERT_EQ(lib.ResetMidiOut(synth), 0);
    constexpr int strokes = 4;
    constexpr int64_t spacing = 120000;
    for (int k = 0; k < strokes; ++k) {
        lib.SnMidiSetDispatchDue(first + k * spacing);
        ASSERT_EQ(lib.PutMidiOut(synth, &stroke), 0);
    }
    lib.SnMidiSetDispatchDue(0);
    constexpr uint32_t bytesPerSecond = 44100 * 4;
    // Rendered in real time: wait until the file reaches past the forgotten stroke.
    const uintmax_t needed = 44 + uintmax_t(first + 1000000 - loaded) * bytesPerSecond / 1000000;
    ASSERT_TRUE(eventually([&] {
        std::error_code e;
        return std::filesystem::file_size(wav, e) >= needed;
    }));
    EXPECT_EQ(lib.CloseMidiOut(synth), 0);
    EXPECT_TRUE(lib.unload());

    std::ifstream in(wav, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(b.size(), 44u + bytesPerSecond);
    const std::vector<size_t> found = onsets(b);
    ASSERT_EQ(found.size(), size_t(strokes)) << "the forgotten stroke sounded, or strokes merged";
    const double stepFrames = 64;
    for (int k = 1; k < strokes; ++k) {
        const double gap = double(found[k] - found[0]);
        EXPECT_NEAR(gap, k * spacing * 44100.0 / 1e6, stepFrames + 2) << "stroke " << k;
    }
}

// Special files in every place the library opens one never hold its load; each
// misconfiguration that leaves the synth silent is said by SnMidiGetLastError
// (and device 0's description), and the synth still takes messages.
TEST(BuiltInSynthTest, MisconfigurationIsReportedAndSpecialFilesNeverBlock)
{
    TemporaryFolder folder;
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_directory(folder.file("folder"));
    struct Case {
        std::string soundFont;
        std::string audio;
        std::string capture;
        std::string expected;  // part of the report; empty for none
        const char *name;      // device 0
    };
    const std::vector<Case> cases{
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "null", "", "", "Tamborly Synth"},
        {fifo, "null", "", "the soundfont " + fifo + " is missing", "Tamborly Synth (no soundfont)"},
        {folder.file("folder"), "null", "", "is not a readable regular file", "Tamborly Synth (no soundfont)"},
        {folder.file("missing.sf2"), "null", "", "missing.sf2 is missing", "Tamborly Synth (no soundfont)"},
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "loud", "", "unknown SNMIDI32_AUDIO value \"loud\"", "Tamborly Synth"},
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "file:" + fifo, "", "the audio file " + fifo + " cannot be created",
         "Tamborly Synth"},
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "file:" + folder.file("none/x.wav"), "", "x.wav cannot be created",
         "Tamborly Synth"},
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "null", fifo, "the capture file " + fifo + " cannot be created",
         "Tamborly Synth"},
    };
    for (const Case &c : cases) {
        LoadedLibrary lib({{"SNMIDI32_SOUNDFONT", c.soundFont}, {"SNMIDI32_AUDIO", c.audio}, {"SNMIDI32_CAPTURE", c.capture}});
        ASSERT_TRUE(lib.loaded());
        char name[32] = {};
        ASSERT_EQ(lib.GetMidiOutDescription(0, name), 0);
        EXPECT_STREQ(name, c.name) << c.soundFont;
        const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0);
        ASSERT_GT(synth, 32u);
        MIDIEVENT snare{0, 0x99, 38, 127, 0};
        EXPECT_EQ(lib.PutMidiOut(synth, &snare), 0);
        const std::string report = lib.lastError();
        if (c.expected.empty())
            EXPECT_EQ(report, "");
        else
            EXPECT_NE(report.find(c.expected), std::string::npos) << report;
        EXPECT_EQ(lib.CloseMidiOut(synth), 0);
        char cut[8] = {};
        EXPECT_EQ(lib.SnMidiGetLastError(cut, sizeof cut), report.size());
        EXPECT_EQ(std::string(cut), report.substr(0, 7));
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// A full disk (here the file-size limit, which fails writes the same way) stops
// the capture file at its last whole line.
TEST(BuiltInSynthTest, ACaptureFileThatCannotGrowEndsAtAWholeLine)
{
    TemporaryFolder folder;
    const std::string capture = folder.file("capture.txt");
    LoadedLibrary lib({{"SNMIDI32_CAPTURE", capture}});
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0);
    ASSERT_GT(synth, 32u);
    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    MIDIEVENT note{0, 0x99, 38, 127, 0};
    for (int i = 0; i < 20; ++i)
        lib.PutMidiOut(synth, &note);
    setrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, previousHandler);
    for (int i = 0; i < 3; ++i)
        lib.PutMidiOut(synth, &note);  // room again, but the capture has stopped
    lib.CloseMidiOut(synth);
    std::ifstream file(capture, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), 100u);
    EXPECT_EQ(text.back(), '\n');
    size_t lines = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        std::istringstream line(text.substr(start, end - start));
        unsigned long long micros = 0;
        unsigned device = 0, status = 0, data1 = 0, data2 = 0;
        EXPECT_TRUE(line >> micros >> device >> status >> data1 >> data2) << text;
        EXPECT_EQ(status, 0x99u);
        ++lines;
        start = end + 1;
    }
    EXPECT_LT(lines, 20u);
}
