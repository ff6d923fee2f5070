#include "SnMidi32.h"

extern "C" {

// The library's version: major in the high byte.
SNMIDI32_API uint16_t GetSonoMidiVersion(void)
{
    return 0x0100;
}

} // extern "C"
