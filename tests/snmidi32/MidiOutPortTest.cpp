#include "LoadedLibrary.h"

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

namespace {

struct CaptureSetup {
    TemporaryFolder folder;
    std::string capture = folder.file("capture.txt");
};

} // namespace

TEST(MidiOutPortTest, PutSendsChannelMessagesOnlyWithDataMaskedAndCaptured)
{
    CaptureSetup setup;
    LoadedLibrary lib({{"SNMIDI32_CAPTURE", setup.capture}, {"SNMIDI32_CAPTURE_DEVICES", "Tap"}});
    const uint16_t tap = uint16_t(lib.GetNumOutDevices() - 1);
    const SNHANDLE port = lib.OpenMidiOut(nullptr, tap, 0, 0x13320);
    ASSERT_GT(port, 32u);

    struct Case {
        MIDIEVENT event;
        bool captured;
        CaptureLine line;
    } cases[] = {
        {{999, 0x99, 36, 100, 7}, true, {0, tap, 0x99, 36, 100}},      // time ignored without a clock
        {{0, 0x89, 0xA4, 0xFF, 0}, true, {0, tap, 0x89, 0x24, 0x7F}},   // data masked to 7 bits
        {{0, 0xC0, 0x85, 0x55, 0}, true, {0, tap, 0xC0, 0x05, 0}},      // one data byte
        {{0, 0xD3, 0x40, 0x40, 0}, true, {0, tap, 0xD3, 0x40, 0}},
        {{0, 0xE0, 0x00, 0x40, 0}, true, {0, tap, 0xE0, 0x00, 0x40}},
        {{0, 0x00, 1, 2, 3}, false, {}},                                // tempo marker from a file
        {{0, 0x7F, 1, 2, 0}, false, {}},
        {{0, 0xF0, 0x43, 0x10, 0}, false, {}},                          // SysEx
        {{0, 0xFE, 0, 0, 0}, false, {}},                                // active sensing
        {{0, 0xFF, 0x51, 3, 0}, false, {}},
    };
    std::vector<CaptureLine> expected;
    for (Case &c : cases) {
        EXPECT_EQ(lib.PutMidiOut(port, &c.event), 0) << "status " << int(c.event.status);
        if (c.captured)
            expected.push_back(c.line);
    }
    std::vector<CaptureLine> lines = readCapture(setup.capture);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_GT(lines[i].micros, 0u);
        if (i > 0) {
            EXPECT_GE(lines[i].micros, lines[i - 1].micros);
        }
        lines[i].micros = 0;
        EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    }
    EXPECT_NE(lib.PutMidiOut(port, nullptr), 0);
    EXPECT_NE(lib.PutMidiOut(7, &cases[0].event), 0);  // 1..32 are never handles
}

TEST(MidiOutPortTest, ResetSilencesEveryChannelAndNothingElse)
{
    CaptureSetup setup;
    LoadedLibrary lib({{"SNMIDI32_CAPTURE", setup.capture}});
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0x13320);
    ASSERT_GT(synth, 32u);
    MIDIEVENT note{0, 0x99, 38, 127, 0};
    EXPECT_EQ(lib.PutMidiOut(synth, &note), 0);
    EXPECT_EQ(lib.ResetMidiOut(synth), 0);
    EXPECT_EQ(lib.FlushMidiOut(synth), 0);  // nothing held for a port without a clock
    EXPECT_EQ(lib.CloseMidiOut(synth), 0);
    EXPECT_NE(lib.ResetMidiOut(synth), 0);

    const std::vector<CaptureLine> lines = readCapture(setup.capture);
    ASSERT_EQ(lines.size(), 1u + 32u);
    EXPECT_EQ(lines[0].device, 0u);
    EXPECT_EQ(lines[0].status, 0x99u);
    for (unsigned channel = 0; channel < 16; ++channel) {
        const CaptureLine &soundOff = lines[1 + 2 * channel];
        const CaptureLine &notesOff = lines[2 + 2 * channel];
        EXPECT_EQ(soundOff.status, 0xB0 + channel);
        EXPECT_EQ(soundOff.data1, 120u);
        EXPECT_EQ(notesOff.status, 0xB0 + channel);
        EXPECT_EQ(notesOff.data1, 123u);
        EXPECT_EQ(soundOff.data2 + notesOff.data2, 0u);
    }
}

TEST(MidiOutPortTest, PortOnAClockSendsOnBeatsAndAnnouncesRoom)
{
    CaptureSetup setup;
    LoadedLibrary lib({{"SNMIDI32_CAPTURE", setup.capture}, {"SNMIDI32_CAPTURE_DEVICES", "Tap"}});
    const uint16_t tap = uint16_t(lib.GetNumOutDevices() - 1);
    Sink clockSink;
    Sink portSink;
    const SNHANDLE clock = lib.OpenSync(0, &clockSink.window, 0, 2);
    ASSERT_GT(clock, 32u);
    const SNHANDLE port = lib.OpenMidiOut(&portSink.window, tap, clock, 0);
    ASSERT_GT(port, 32u);
    EXPECT_EQ(portSink.count(SNMIDI_MSG_OUT_BUFFER_READY), 1u);  // an empty port asks to be filled

    // Fill the queue with one record per beat until the library says it is full.
    size_t taken = 0;
    MIDIEVENT record{1, 0x90, 40, 90, 0};
    while (lib.PutMidiOut(port, &record) == 0 && taken < 100000)
        ++taken;
    ASSERT_GT(taken, 0u);
    ASSERT_LT(taken, 100000u);
    EXPECT_TRUE(readCapture(setup.capture).empty());  // nothing is due before the clock runs

    lib.SetTempo(clock, 200);
    lib.StartSync(clock);
    ASSERT_TRUE(portSink.waitFor(SNMIDI_MSG_OUT_BUFFER_READY, 2));
    ASSERT_TRUE(eventually([&] { return readCapture(setup.capture).size() >= taken / 2; }));
    EXPECT_EQ(lib.CloseMidiOut(port), 0);
    const size_t announced = portSink.count(SNMIDI_MSG_OUT_BUFFER_READY);
    const size_t sent = readCapture(setup.capture).size();
    ASSERT_TRUE(clockSink.waitFor(SNMIDI_MSG_BEAT, clockSink.count(SNMIDI_MSG_BEAT) + 50));
    EXPECT_EQ(portSink.count(SNMIDI_MSG_OUT_BUFFER_READY), announced);  // closed: silent
    EXPECT_EQ(readCapture(setup.capture).size(), sent);
    for (const CaptureLine &line : readCapture(setup.capture))
        EXPECT_EQ(line.status, 0x90u);
    EXPECT_EQ(lib.CloseSync(clock), 0);
}

namespace {

int64_t monotonicMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

} // namespace

// A message put while the thread handles a beat sounds at the beat's due time plus the latency;
// one that would be late, one put outside a beat, or by another thread, goes out at once.
TEST(MidiOutPortTest, MessagesOfABeatAreDueAtTheBeatPlusTheLatency)
{
    CaptureSetup setup;
    LoadedLibrary lib({{"SNMIDI32_CAPTURE", setup.capture}, {"SNMIDI32_CAPTURE_DEVICES", "Tap"},
                       {"SNMIDI32_LATENCY_MS", "50"}});
    ASSERT_NE(lib.SnMidiSetDispatchDue, nullptr);
    const uint16_t tap = uint16_t(lib.GetNumOutDevices() - 1);
    const SNHANDLE port = lib.OpenMidiOut(nullptr, tap, 0, 0x13320);
    ASSERT_GT(port, 32u);
    MIDIEVENT stroke{0, 0x99, 37, 100, 0};

    ASSERT_EQ(lib.PutMidiOut(port, &stroke), 0);  // no beat
    const int64_t beat = monotonicMicros() + 10 * 1000 * 1000;
    lib.SnMidiSetDispatchDue(beat);
    ASSERT_EQ(lib.PutMidiOut(port, &stroke), 0);
    std::thread other([&] { lib.PutMidiOut(port, &stroke); });  // the setting is per thread
    other.join();
    lib.SnMidiSetDispatchDue(monotonicMicros() - 1000 * 1000);  // a beat handled a second late
    ASSERT_EQ(lib.PutMidiOut(port, &stroke), 0);
    lib.SnMidiSetDispatchDue(0);
    ASSERT_EQ(lib.PutMidiOut(port, &stroke), 0);

    const std::vector<CaptureLine> lines = readCapture(setup.capture);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].due, lines[0].micros);
    EXPECT_EQ(int64_t(lines[1].due), beat + 50000);
    // The library says what it adds, so a program knows when what it put sounds: the
    // latency for this port, nothing for a port whose records go out on a clock's beats.
    ASSERT_NE(lib.SnMidiGetOutputLatency, nullptr);
    EXPECT_EQ(lib.SnMidiGetOutputLatency(port), 50000);
    const SNHANDLE clock = lib.OpenSync(0, nullptr, 0, 0);
    const SNHANDLE clocked = lib.OpenMidiOut(nullptr, tap, clock, 0);
    ASSERT_GT(clocked, 32u);
    EXPECT_EQ(lib.SnMidiGetOutputLatency(clocked), 0);
    EXPECT_EQ(lib.CloseMidiOut(clocked), 0);
    EXPECT_EQ(lib.CloseSync(clock), 0);
    EXPECT_EQ(lib.SnMidiGetOutputLatency(clocked), -1);
    EXPECT_EQ(lib.SnMidiGetOutputLatency(0), -1);
    for (size_t i : {2u, 3u, 4u})
        EXPECT_EQ(lines[i].due, lines[i].micros) << "line " << i;
    // The first field stays the time the message was put.
    EXPECT_LT(int64_t(lines[1].micros), beat);
    EXPECT_EQ(lib.CloseMidiOut(port), 0);
}

// The latency a port reports is the one SNMIDI32_LATENCY_MS sets, or the default when it is
// unset or no number of milliseconds from 0 to 1000.
TEST(MidiOutPortTest, TheReportedOutputLatencyFollowsTheEnvironment)
{
    const std::pair<std::string, int32_t> cases[] = {
        {"", 20000}, {"30", 30000}, {"0", 0}, {"2.5", 2500}, {"1000", 1000000},
        {"-1", 20000}, {"1001", 20000}, {"ten", 20000}, {"10ms", 20000},
    };
    for (const auto &[value, expected] : cases) {
        LoadedLibrary lib({{"SNMIDI32_CAPTURE_DEVICES", "Tap"}, {"SNMIDI32_LATENCY_MS", value}});
        ASSERT_NE(lib.SnMidiGetOutputLatency, nullptr);
        const SNHANDLE port = lib.OpenMidiOut(nullptr, uint16_t(lib.GetNumOutDevices() - 1), 0, 0);
        ASSERT_GT(port, 32u);
        EXPECT_EQ(lib.SnMidiGetOutputLatency(port), expected) << "SNMIDI32_LATENCY_MS=" << value;
        EXPECT_EQ(lib.CloseMidiOut(port), 0);
    }
}
