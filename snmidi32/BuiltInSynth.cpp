#include "BuiltInSynth.h"

#include "TimedMessages.h"
#include "WavRenderer.h"

#include <fluidsynth.h>
#include <algorithm>
#include <ctime>
#include <string>
#include <unistd.h>

namespace {

constexpr int sampleRate = 44100;
constexpr int stepFrames = 64;

int64_t nowMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

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
    // FluidSynth opens the soundfont itself, blocking: the environment has already
    // refused a FIFO or a folder (its problem), so only a regular file gets here.
    if (environment.soundFontUsable && fluid_synth_sfload(synth.get(), environment.soundFont.c_str(), 1) == FLUID_FAILED)
        failure = "the soundfont " + environment.soundFont + " cannot be loaded";
    if (!failure.empty())
        debugLog("%s", failure.c_str());
    timed = std::make_unique<TimedMessages>(synth.get());
    startAudio(environment);
}

BuiltInSynth::~BuiltInSynth()
{
    renderer.reset();
    driver.reset();
    timed.reset();
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
        renderer = std::make_unique<WavRenderer>(synth.get(), *timed, environment.wavPath, sampleRate);
        if (renderer->isOpen()) {
            driverName = "file";
        } else {
            failure = renderer->openFailure();
            renderer.reset();
        }
        return;
    case Environment::Audio::Auto:
        break;
    }
    for (const AudioChoice &choice : audioChoices) {
        if (!choice.present(environment) || !driverBuiltIn(settings.get(), choice.driver))
            continue;
        fluid_settings_setstr(settings.get(), "audio.driver", choice.driver);
        driver.reset(new_fluid_audio_driver2(settings.get(), &BuiltInSynth::process, this));
        if (driver) {
            driverName = choice.driver;
            debugLog("audio through %s", choice.driver);
            return;
        }
        debugLog("audio driver %s did not start", choice.driver);
    }
    // No audio system: the synth still takes every message and renders nowhere.
}

// The driver's period is cut into 64-frame steps; a step's time is the callback's time plus
// its place in the period, the same fixed offset from what the listener hears for every step.
int BuiltInSynth::process(void *data, int frames, int nfx, float *fx[], int nout, float *out[])
{
    auto *self = static_cast<BuiltInSynth *>(data);
    fluid_synth_t *s = self->synth.get();
    const int64_t start = nowMicros();
    constexpr int maxBuffers = 16;
    float *fxDefault[4] = {};
    if (nfx == 0 && nout >= 2) {
        // No effects buffers of its own: mix reverb and chorus into the output, as FluidSynth does.
        fxDefault[0] = out[0];
        fxDefault[1] = out[1];
        fxDefault[2] = out[0];
        fxDefault[3] = out[1];
        fx = fxDefault;
        nfx = 4;
    }
    if (nfx > maxBuffers || nout > maxBuffers) {
        self->timed->applyUntil(start + int64_t(frames) * 1000000 / sampleRate);
        return fluid_synth_process(s, frames, nfx, fx, nout, out);
    }
    float *fxStep[maxBuffers];
    float *outStep[maxBuffers];
    for (int done = 0; done < frames; done += stepFrames) {
        const int length = std::min(stepFrames, frames - done);
        self->timed->applyUntil(start + int64_t(done + length) * 1000000 / sampleRate);
        for (int i = 0; i < nfx; ++i)
            fxStep[i] = fx[i] + done;
        for (int i = 0; i < nout; ++i)
            outStep[i] = out[i] + done;
        if (fluid_synth_process(s, length, nfx, fxStep, nout, outStep) != FLUID_OK)
            return FLUID_FAILED;
    }
    return FLUID_OK;
}

void BuiltInSynth::send(const uint8_t *message, size_t length, int64_t due)
{
    if (!synth || length < 2)
        return;
    // Rendered nowhere: nobody hears when, so the synth only keeps its state.
    if (!driver && !renderer) {
        TimedMessages::apply(synth.get(), message, length);
        return;
    }
    timed->post(message, length, due);
}

void BuiltInSynth::dropScheduled()
{
    if (timed)
        timed->dropScheduled();
}
