#include "SnMidi32.h"

// The library's version: major in the high byte.
extern "C" uint16_t GetSonoMidiVersion(void)
{
    return 0x0100;
}
