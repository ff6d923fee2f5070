#include "BuiltInSynth.h"

#include "WavRenderer.h"

#include <fluidsynth.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int sampleRate = 44100;

// FluidSynth logs to the terminal by default; the library speaks only when asked to.
void fluidLog(int level, const char *message, void *)
{
    debugLog("fluidsynth(%d): %s", level, message);
}

bool exists(const std::string &path)
{
    return !path.empty() && access(path.c_str(), F_OK) == 0;
}

bool driverBuiltIn(fluid_settings_t *settings, const char *name)
{
    struct Search { const char *name; bool found; } search{name, false};
    fluid_settings_foreach_option(settings, "audio.driver", &search, [](void *data, const char *, const char *option) {
        auto *s = static_cast<Search *>(data);
        if (std::string(option) == s->name)
            s->found = true;
    });
    return search.found;
}

// Audio systems in order of preference. Each is tried only when its server or device is there,
// so that a machine without sound starts quickly and quietly.
struct AudioChoice {
    const char *driver;
    bool (*present)(const Environment &);
};

const AudioChoice audioChoices[] = {
    {"pipewire", [](const Environment &e) { return exists(e.pipewireSocket); }},
    {"pulseaudio", [](const Environment &e) { return e.pulseServerSet || exists(e.pulseSocket); }},
    {"alsa", [](const Environment &) { return exists("/dev/snd"); }},
};

} // namespace

void BuiltInSynth::SettingsDeleter::operator()(fluid_settings_t *s) const { delete_fluid_settings(s); }
void BuiltInSynth::SynthDeleter::operator()(fluid_synth_t *s) const { delete_fluid_synth(s); }
void BuiltInSynth::DriverDeleter::operator()(fluid_audio_driver_t *d) const { delete_fluid_audio_driver(d); }

BuiltInSynth::BuiltInSynth(const Environment &environment)
{
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, fluidLog, nullptr);

    settings.reset(new_fluid_settings());
    if (!settings)
        return;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", sampleRate);
    fluid_settings_setnum(settings.get(), "synth.gain", 0.5);
    fluid_settings_setint(settings.get(), "synth.cpu-cores", 1);
    // Short periods keep a struck key and its sound close together.
    fluid_settings_setint(settings.get(), "audio.period-size", 256);
    fluid_settings_setint(settings.get(), "audio.periods", 3);
    synth.reset(new_fluid_synth(settings.get()));
    if (!synth)
        return;
    if (!environment.soundFont.empty() && fluid_synth_sfload(synth.get(), environment.soundFont.c_str(), 1) == FLUID_FAILED)
        debugLog("cannot load the soundfont %s", environment.soundFont.c_str());
    startAudio(environment);
}

BuiltInSynth::~BuiltInSynth()
{
    renderer.reset();
    driver.reset();
    synth.reset();
    settings.reset();
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, fluid_default_log_function, nullptr);
}

void BuiltInSynth::startAudio(const Environment &environment)
{
    switch (environment.audio) {
    case Environment::Audio::Null:
        return;
    case Environment::Audio::File:
        renderer = std::make_unique<WavRenderer>(synth.get(), environment.wavPath, sampleRate);
        if (renderer->isOpen())
            driverName = "file";
        else
            renderer.reset();
        return;
    case Environment::Audio::Auto:
        break;
    }
    for (const AudioChoice &choice : audioChoices) {
        if (!choice.present(environment) || !driverBuiltIn(settings.get(), choice.driver))
            continue;
        fluid_settings_setstr(settings.get(), "audio.driver", choice.driver);
        driver.reset(new_fluid_audio_driver(settings.get(), synth.get()));
        if (driver) {
            driverName = choice.driver;
            debugLog("audio through %s", choice.driver);
            return;
        }
        debugLog("audio driver %s did not start", choice.driver);
    }
    // No audio system: the synth still takes every message and renders nowhere.
}

void BuiltInSynth::send(const uint8_t *message, size_t length)
{
    if (!synth || length < 2)
        return;
    fluid_synth_t *s = synth.get();
    const int channel = message[0] & 0x0F;
    const int data1 = message[1];
    const int data2 = length > 2 ? message[2] : 0;
    switch (message[0] & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, channel, data1); break;
    case 0x90: fluid_synth_noteon(s, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(s, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(s, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(s, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(s, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(s, channel, data1 | (data2 << 7)); break;
    default: break;
    }
}
