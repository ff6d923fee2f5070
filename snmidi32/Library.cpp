#include "Library.h"

#include <alsa/asoundlib.h>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fluidsynth.h>

namespace {

// ALSA reports failures (no sound card, no sequencer) on the terminal by default.
void alsaError(const char *file, int line, const char *function, int error, const char *format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    debugLog("alsa %s:%d %s (%d): %s", file, line, function, error, text);
}

// FluidSynth's soundfont loader registers GLib types, which can never be unregistered; were
// FluidSynth unloaded with us and loaded again, the second registration would fail. So FluidSynth
// stays in the process once loaded, while this library itself can come and go.
void keepFluidSynthLoaded()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&new_fluid_settings), &info) && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// Built when the library is loaded, so the environment is read exactly then.
Library library;

} // namespace

Library &Library::instance()
{
    return library;
}

Library::Library() : capture(environment.capturePath), devices(environment)
{
    keepFluidSynthLoaded();
    snd_lib_error_set_handler(alsaError);
}

Library::~Library()
{
    handles.clear();
    snd_lib_error_set_handler(nullptr);
}
