#pragma once

#include "Environment.h"
#include "OutputBackend.h"

#include <memory>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;
class WavRenderer;

// Device 0: the FluidSynth General MIDI synthesizer with the configured soundfont, playing through
// the first audio system that works (or into a WAV file, or nowhere).
class BuiltInSynth final : public OutputBackend {
public:
    explicit BuiltInSynth(const Environment &environment);
    ~BuiltInSynth() override;
    BuiltInSynth(const BuiltInSynth &) = delete;
    BuiltInSynth &operator=(const BuiltInSynth &) = delete;

    void send(const uint8_t *message, size_t length) override;

    // Name of the audio driver in use: "pulseaudio", "alsa", "file", or "" when rendering nowhere.
    const char *audioDriver() const { return driverName; }

private:
    void startAudio(const Environment &environment);

    struct SettingsDeleter { void operator()(fluid_settings_t *s) const; };
    struct SynthDeleter { void operator()(fluid_synth_t *s) const; };
    struct DriverDeleter { void operator()(fluid_audio_driver_t *d) const; };

    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
    std::unique_ptr<WavRenderer> renderer;
    const char *driverName = "";
};
