#include "LoadedLibrary.h"

#include <gtest/gtest.h>

using namespace std::chrono;

TEST(SyncClockTest, BeatsComeInOrderNeverEarlyAndStopWhenStopped)
{
    LoadedLibrary lib;
    Sink sink;
    const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
    ASSERT_GT(clock, 32u);
    constexpr uint32_t tempo = 2000;
    ASSERT_EQ(lib.SetTempo(clock, tempo), 0);
    EXPECT_EQ(lib.GetTempo(clock), tempo);
    const auto started = steady_clock::now();
    ASSERT_EQ(lib.StartSync(clock), 0);
    ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_BEAT, 100));
    ASSERT_EQ(lib.StopSync(clock), 0);
    const auto stopped = steady_clock::now();

    const std::vector<Sink::Message> messages = sink.messages();
    size_t beats = 0;
    int64_t previousDue = 0;
    for (const Sink::Message &m : messages) {
        if (m.message != SNMIDI_MSG_BEAT)
            continue;
        ++beats;
        EXPECT_EQ(m.wParam, beats);  // consecutive positions: none lost, none doubled
        // Each beat carries its deadline (us of CLOCK_MONOTONIC): on an even grid, never after
        // the beat arrived.
        const int64_t arrivedMicros = duration_cast<microseconds>(m.arrival.time_since_epoch()).count();
        EXPECT_LE(int64_t(m.lParam), arrivedMicros);
        if (beats > 1) {
            EXPECT_EQ(int64_t(m.lParam) - previousDue, int64_t(tempo));
        }
        previousDue = int64_t(m.lParam);
        // Absolute deadlines: beat n can never come before n tempos after the start.
        EXPECT_GE(duration_cast<microseconds>(m.arrival - started).count(), int64_t(beats * tempo) - 1000);
    }
    EXPECT_LE(beats, size_t(duration_cast<microseconds>(stopped - started).count() / tempo) + 1);
    // Sync done comes last, before StopSync returned.
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().message, SNMIDI_MSG_SYNC_DONE);
    uint32_t position = 0;
    EXPECT_EQ(lib.GetPosition(clock, &position), 0);
    EXPECT_EQ(position, beats);

    // Watch for late beats while a second clock runs.
    Sink other;
    const SNHANDLE watch = lib.OpenSync(0, &other.window, 0, 2);
    lib.SetTempo(watch, 1000);
    lib.StartSync(watch);
    ASSERT_TRUE(other.waitFor(SNMIDI_MSG_BEAT, 30));
    EXPECT_EQ(sink.messages().size(), messages.size());

    // A restart goes on counting; a start counts from zero again.
    lib.ReStartSync(clock);
    ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_BEAT, beats + 1));
    lib.PauseSync(clock, 0);
    EXPECT_EQ(sink.messages()[messages.size()].wParam, beats + 1);
    EXPECT_EQ(lib.CloseSync(clock), 0);
    EXPECT_EQ(lib.CloseSync(watch), 0);
    EXPECT_NE(lib.StartSync(clock), 0);
}

TEST(SyncClockTest, TempoLimitsAndHandleZero)
{
    LoadedLibrary lib;
    Sink sink;
    const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
    EXPECT_EQ(lib.SetTempo(clock, 500), 0);
    EXPECT_NE(lib.SetTempo(clock, 99), 0);
    EXPECT_NE(lib.SetTempo(clock, 0), 0);
    EXPECT_EQ(lib.GetTempo(clock), 500u);  // a refused tempo changes nothing
    EXPECT_EQ(lib.SetTempo(clock, 100), 0);
    EXPECT_NE(lib.SetTempo(0, 500), 0);     // callers pass 0 for a clock that is not open
    EXPECT_NE(lib.SetResolution(0, 96), 0);
    EXPECT_EQ(lib.SetResolution(clock, 480), 0);
    EXPECT_EQ(lib.GetResolution(clock), 480);
    EXPECT_EQ(lib.GetTempo(clock), 100u);  // the resolution leaves the beat period alone
    EXPECT_EQ(lib.StopSync(clock), 0);      // stopping a stopped clock is harmless and silent
    EXPECT_EQ(sink.messages().size(), 0u);
    EXPECT_EQ(lib.CloseSync(clock), 0);
}

TEST(SyncClockTest, SetTempoWhileRunningTakesEffectFromTheNextBeat)
{
    LoadedLibrary lib;
    Sink sink;
    const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
    lib.SetTempo(clock, 60000000);  // one beat a minute
    lib.StartSync(clock);
    EXPECT_EQ(lib.SetTempo(clock, 1000), 0);
    // Beats come long before the minute the old tempo would have made them wait.
    EXPECT_TRUE(sink.waitFor(SNMIDI_MSG_BEAT, 10, seconds(30)));
    // Slowing down again: stopping does not wait for the long beat either.
    lib.SetTempo(clock, 60000000);
    const auto before = steady_clock::now();
    EXPECT_EQ(lib.CloseSync(clock), 0);
    EXPECT_LT(steady_clock::now() - before, seconds(30));
}

// The player stops and restarts its clock on every tempo change: each stop must return with the
// beats ended, whether the clock had begun beating or not.
TEST(SyncClockTest, StartAndStopInQuickSuccessionNeverHangOrPostLate)
{
    LoadedLibrary lib;
    Sink sink;
    const SNHANDLE clock = lib.OpenSync(0, &sink.window, 0, 2);
    lib.SetTempo(clock, 100);
    constexpr int rounds = 300;
    for (int i = 0; i < rounds; ++i) {
        ASSERT_EQ(lib.StartSync(clock), 0);
        if (i % 3 == 0) {
            ASSERT_TRUE(sink.waitFor(SNMIDI_MSG_BEAT, sink.count(SNMIDI_MSG_BEAT) + 2));
        }
        ASSERT_EQ(lib.StopSync(clock), 0);
        ASSERT_EQ(sink.messages().back().message, SNMIDI_MSG_SYNC_DONE);
    }
    EXPECT_EQ(sink.count(SNMIDI_MSG_SYNC_DONE), size_t(rounds));
    const size_t total = sink.messages().size();
    Sink other;
    const SNHANDLE watch = lib.OpenSync(0, &other.window, 0, 2);
    lib.SetTempo(watch, 1000);
    lib.StartSync(watch);
    ASSERT_TRUE(other.waitFor(SNMIDI_MSG_BEAT, 30));
    EXPECT_EQ(sink.messages().size(), total);
    lib.StartSync(clock);  // closing a running clock ends it too
    EXPECT_EQ(lib.CloseSync(clock), 0);
    EXPECT_EQ(lib.CloseSync(watch), 0);
}
