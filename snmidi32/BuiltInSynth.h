#pragma once

#include "Environment.h"
#include "OutputBackend.h"

#include <memory>
#include <string>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;
class TimedMessages;
class WavRenderer;

// Device 0: the FluidSynth General MIDI synthesizer with the configured soundfont, playing through
// the first audio system that works (or into a WAV file, or nowhere). Whatever renders it does so
// in 64-frame steps and applies each message before the step its due time falls in, so a message
// sounds when it is due, not when the synth's next block happens to be rendered.
class BuiltInSynth final : public OutputBackend {
public:
    explicit BuiltInSynth(const Environment &environment);
    ~BuiltInSynth() override;
    BuiltInSynth(const BuiltInSynth &) = delete;
    BuiltInSynth &operator=(const BuiltInSynth &) = delete;

    void send(const uint8_t *message, size_t length, int64_t due) override;
    void dropScheduled() override;

    // Name of the audio driver in use: "pulseaudio", "alsa", "file", or "" when rendering nowhere.
    const char *audioDriver() const { return driverName; }
    // What keeps the synth silent (no soundfont, an audio file that cannot be
    // created); empty when nothing does.
    const std::string &setupFailure() const { return failure; }

private:
    void startAudio(const Environment &environment);
    // The live audio driver's callback, on its thread.
    static int process(void *data, int frames, int nfx, float *fx[], int nout, float *out[]);

    struct SettingsDeleter { void operator()(fluid_settings_t *s) const; };
    struct SynthDeleter { void operator()(fluid_synth_t *s) const; };
    struct DriverDeleter { void operator()(fluid_audio_driver_t *d) const; };

    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
    std::unique_ptr<TimedMessages> timed;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
    std::unique_ptr<WavRenderer> renderer;
    const char *driverName = "";
    std::string failure;
};
