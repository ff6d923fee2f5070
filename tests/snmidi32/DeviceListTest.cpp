#include "LoadedLibrary.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

std::string description(LoadedLibrary &lib, uint16_t device, uint16_t *result = nullptr)
{
    char name[40];
    std::memset(name, 'x', sizeof name);
    const uint16_t r = lib.GetMidiOutDescription(device, name);
    if (result)
        *result = r;
    EXPECT_EQ(name[32], 'x') << "wrote past the 32-byte buffer";
    EXPECT_NE(std::memchr(name, 0, 32), nullptr) << "not terminated inside 32 bytes";
    return std::string(name);
}

} // namespace

TEST(DeviceListTest, SynthFirstThenCaptureDevicesWithBoundedNames)
{
    // The two bytes of "é" are bytes 30 and 31: a cut at 31 bytes would split it.
    const std::string longName = "Bateria Eletronica Orquestral \xC3\xA9gua";
    LoadedLibrary lib({{"SNMIDI32_CAPTURE_DEVICES", "Drum Module,!Broken Synth,," + longName}});
    ASSERT_TRUE(lib.loaded());
    ASSERT_EQ(lib.resolved, 35);

    const uint32_t count = lib.GetNumOutDevices();
    ASSERT_GE(count, 4u);
    EXPECT_EQ(description(lib, 0), "Tamborly Synth");
    EXPECT_EQ(description(lib, uint16_t(count - 3)), "Drum Module");
    EXPECT_EQ(description(lib, uint16_t(count - 2)), "Broken Synth");
    const std::string cut = description(lib, uint16_t(count - 1));
    EXPECT_EQ(cut, longName.substr(0, 30));  // cut before the "é", never inside it

    uint16_t result = 0;
    EXPECT_EQ(description(lib, uint16_t(count), &result), "");
    EXPECT_NE(result, 0);
    EXPECT_NE(lib.GetMidiOutDescription(0, nullptr), 0);
}

TEST(DeviceListTest, OpenGivesHandlesAboveThirtyTwoAndRefusesWhatCannotOpen)
{
    LoadedLibrary lib({{"SNMIDI32_CAPTURE_DEVICES", "Good,!Bad"}});
    const uint32_t count = lib.GetNumOutDevices();
    const SNHANDLE synth = lib.OpenMidiOut(nullptr, 0, 0, 0x13320);
    const SNHANDLE good = lib.OpenMidiOut(nullptr, uint16_t(count - 2), 0, 0x13320);
    const SNHANDLE again = lib.OpenMidiOut(nullptr, uint16_t(count - 2), 0, 0);
    EXPECT_GT(synth, 32u);
    EXPECT_GT(good, 32u);
    EXPECT_GT(again, 32u);
    EXPECT_NE(good, again);
    EXPECT_LE(lib.OpenMidiOut(nullptr, uint16_t(count - 1), 0, 0), 32u);  // "!Bad"
    EXPECT_LE(lib.OpenMidiOut(nullptr, uint16_t(count), 0, 0), 32u);      // past the list
    EXPECT_LE(lib.OpenMidiOut(nullptr, 0, 12345, 0), 32u);                // no such clock

    EXPECT_EQ(lib.CloseMidiOut(good), 0);
    EXPECT_NE(lib.CloseMidiOut(good), 0);  // a closed handle stays dead
    MIDIEVENT note{0, 0x90, 36, 100, 0};
    EXPECT_NE(lib.PutMidiOut(good, &note), 0);
    EXPECT_EQ(lib.CloseMidiOut(again), 0);
    EXPECT_EQ(lib.CloseMidiOut(synth), 0);
}

TEST(DeviceListTest, EnvironmentIsReadAtLoadAndTheLibraryUnloadsCleanly)
{
    {
        LoadedLibrary lib({{"SNMIDI32_CAPTURE_DEVICES", "First"}});
        const uint32_t count = lib.GetNumOutDevices();
        EXPECT_EQ(description(lib, uint16_t(count - 1)), "First");
        // Leave a synth, a running clock and open handles behind: unloading must end them.
        lib.OpenMidiOut(nullptr, 0, 0, 0);
        Sink sink;
        const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
        lib.SetTempo(clock, 1000);
        lib.StartSync(clock);
        ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_BEAT, 3));
        EXPECT_TRUE(lib.unload());
        const size_t beats = sink.count(SNMIDI_MSG_BEAT);
        LoadedLibrary other;  // a clock of a second load runs while we look for late beats
        Sink otherSink;
        const SNHANDLE otherClock = other.OpenSync(0, &otherSink.window, 0, 2);
        other.SetTempo(otherClock, 1000);
        other.StartSync(otherClock);
        ASSERT_TRUE(otherSink.waitFor(SNMIDI_MSG_BEAT, 20));
        EXPECT_EQ(sink.count(SNMIDI_MSG_BEAT), beats);
    }
    LoadedLibrary lib({{"SNMIDI32_CAPTURE_DEVICES", "Second"}});
    const uint32_t count = lib.GetNumOutDevices();
    EXPECT_EQ(description(lib, uint16_t(count - 1)), "Second");
    EXPECT_EQ(lib.GetSonoMidiVersion() >> 8, 1);
}

TEST(DeviceListTest, InputsAreSequencerPortsOnlyAndUnknownHandlesAreRefused)
{
    LoadedLibrary lib;
    const uint32_t inputs = lib.GetNumInDevices();
    if (access("/dev/snd/seq", F_OK) != 0) {
        EXPECT_EQ(inputs, 0u);  // no sequencer: no ports, found at once and silently
    }
    char name[32];
    std::memset(name, 'x', sizeof name);
    EXPECT_NE(lib.GetMidiInDescription(uint16_t(inputs), name), 0);
    EXPECT_EQ(name[0], '\0');
    Sink sink;
    EXPECT_LE(lib.OpenMidiIn(&sink.window, uint16_t(inputs), 0, 0), 32u);
    EXPECT_EQ(lib.GetMidiIn(4242), nullptr);
    EXPECT_NE(lib.StartMidiIn(4242), 0);
    EXPECT_NE(lib.StopMidiIn(4242), 0);
    EXPECT_NE(lib.CloseMidiIn(4242), 0);
    // A handle of another kind is not an input port.
    const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
    EXPECT_NE(lib.StartMidiIn(clock), 0);
    EXPECT_NE(lib.CloseMidiOut(clock), 0);
    EXPECT_EQ(lib.CloseSync(clock), 0);
    EXPECT_EQ(sink.messages().size(), 0u);
}
