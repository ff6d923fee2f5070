#include "OtherReaderCheck.h"

#include <fluidsynth.h>
#include <vector>

namespace {

int countEvent(void *data, fluid_midi_event_t *event)
{
    auto *result = static_cast<OtherReaderResult *>(data);
    const int type = fluid_midi_event_get_type(event);
    if (type == 0x90 && fluid_midi_event_get_velocity(event) > 0)
        ++result->noteOns;
    else if (type == 0x80 || type == 0x90)
        ++result->noteOffs;
    else if (type == 0xC0)
        ++result->programChanges;
    return FLUID_OK;
}

void silent(int, const char *, void *) {}

} // namespace

OtherReaderResult playWithFluidSynth(const std::string &path)
{
    OtherReaderResult result;
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, silent, nullptr);
    fluid_settings_t *settings = new_fluid_settings();
    // Driven by rendering, so the file plays as fast as we render it.
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_synth_t *synth = new_fluid_synth(settings);
    fluid_player_t *player = new_fluid_player(synth);
    fluid_player_set_playback_callback(player, countEvent, &result);
    result.loaded = fluid_player_add(player, path.c_str()) == FLUID_OK && fluid_player_play(player) == FLUID_OK;
    std::vector<float> left(1024), right(1024);
    for (int block = 0; result.loaded && block < 100000 && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++block)
        fluid_synth_write_float(synth, 1024, left.data(), 0, 1, right.data(), 0, 1);
    result.finalTempo = fluid_player_get_midi_tempo(player);
    fluid_player_stop(player);
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return result;
}
