// Replay input devices (SNMIDI32_INPUT_DEVICES) through the library's C interface.
#include "LoadedLibrary.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

int64_t nowMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

std::string inputName(LoadedLibrary &lib, uint16_t device)
{
    char name[32];
    std::memset(name, 'x', sizeof name);
    if (lib.GetMidiInDescription(device, name) != 0)
        return "<none>";
    return std::string(name);
}

// The full CLOCK_MONOTONIC time of a record's 32-bit stamp, taken as the latest such time
// not after now.
int64_t unwrap(uint32_t stamp, int64_t now)
{
    return now - int64_t(uint32_t(uint32_t(uint64_t(now)) - stamp));
}

} // namespace

TEST(ReplayInputTest, ReplayDevicesAreListedAfterTheSequencerPortsAndDeliverEachLineOnTime)
{
    TemporaryFolder folder;
    {
        std::ofstream file(folder.file("kit.txt"));
        file << "# a comment line\n"
                "0 153 36 100\n"
                "20000 153 38 90\n"
                "20000 248 0 0\n"         // timing clock: not delivered
                "not a line at all\n"
                "30000 137 38 0\n"         // note-off on channel 10
                "45000 185 4 127\n";       // foot controller
    }
    LoadedLibrary lib({{"SNMIDI32_INPUT_DEVICES",
                        "Kit A:" + folder.file("kit.txt") + ",Broken:" + folder.file("missing.txt") + ",no colon"}});
    ASSERT_TRUE(lib.loaded());
    const uint32_t alsa = access("/dev/snd/seq", F_OK) == 0 ? lib.GetNumInDevices() - 2 : 0;
    ASSERT_EQ(lib.GetNumInDevices(), alsa + 2);
    EXPECT_EQ(inputName(lib, uint16_t(alsa)), "Kit A");
    EXPECT_EQ(inputName(lib, uint16_t(alsa + 1)), "Broken");
    EXPECT_EQ(inputName(lib, uint16_t(alsa + 2)), "<none>");

    Sink sink;
    EXPECT_EQ(lib.OpenMidiIn(&sink.window, uint16_t(alsa + 1), 0, 0), 4u) << "an unreadable file refuses to open";
    EXPECT_EQ(lib.OpenMidiIn(&sink.window, uint16_t(alsa + 2), 0, 0), 2u) << "no such device";
    const SNHANDLE h = lib.OpenMidiIn(&sink.window, uint16_t(alsa), 0, 0);
    ASSERT_GT(h, 32u);
    EXPECT_EQ(lib.GetMidiIn(h), nullptr) << "nothing before the start";

    const int64_t start = nowMicros();
    ASSERT_EQ(lib.StartMidiIn(h), 0);
    const int64_t started = nowMicros();
    ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_MIM_DATA, 4));
    const int64_t now = nowMicros();
    const struct {
        int64_t at;
        unsigned status, data1, data2;
    } expected[] = {{0, 153, 36, 100}, {20000, 153, 38, 90}, {30000, 137, 38, 0}, {45000, 185, 4, 127}};
    for (const auto &line : expected) {
        MIDIEVENT *record = lib.GetMidiIn(h);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->status, line.status);
        EXPECT_EQ(record->data1, line.data1);
        EXPECT_EQ(record->data2, line.data2);
        // Stamped with its line's time after the start, whenever the thread got to it.
        const int64_t stamp = unwrap(record->time, now);
        EXPECT_GE(stamp, start + line.at);
        EXPECT_LE(stamp, started + line.at);
    }
    EXPECT_EQ(lib.GetMidiIn(h), nullptr);
    EXPECT_EQ(lib.StopMidiIn(h), 0);
    EXPECT_EQ(lib.CloseMidiIn(h), 0);
    EXPECT_EQ(sink.count(SNMIDI_MSG_MIM_DATA), 4u);
    EXPECT_EQ(sink.count(SNMIDI_MSG_MIM_CLOSE), 0u);
}

TEST(ReplayInputTest, StartAtCountsFromTheGivenTimeAndStopEndsTheReplay)
{
    TemporaryFolder folder;
    {
        std::ofstream file(folder.file("late.txt"));
        file << "0 153 42 80\n1000000 153 42 80\n600000000 153 49 127\n";
    }
    LoadedLibrary lib({{"SNMIDI32_INPUT_DEVICES", "Late:" + folder.file("late.txt")}});
    ASSERT_NE(lib.StartMidiInAt, nullptr);
    const uint16_t device = uint16_t(lib.GetNumInDevices() - 1);
    Sink sink;
    const SNHANDLE h = lib.OpenMidiIn(&sink.window, device, 0, 0);
    ASSERT_GT(h, 32u);
    // Counted from 1.5 s ago: the first two lines are due already and come at once.
    ASSERT_EQ(lib.StartMidiInAt(h, nowMicros() - 1500000), 0);
    ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_MIM_DATA, 2));
    // The last line is ten minutes away: stopping must not wait for it.
    const int64_t before = nowMicros();
    EXPECT_EQ(lib.StopMidiIn(h), 0);
    EXPECT_LT(nowMicros() - before, 5000000);
    EXPECT_EQ(sink.count(SNMIDI_MSG_MIM_DATA), 2u);
    // Started again, it replays from the beginning.
    ASSERT_EQ(lib.StartMidiIn(h), 0);
    ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_MIM_DATA, 3));
    EXPECT_EQ(lib.CloseMidiIn(h), 0);
    const size_t count = sink.count(SNMIDI_MSG_MIM_DATA);
    EXPECT_EQ(sink.count(SNMIDI_MSG_MIM_DATA), count) << "posted after the close";
}
