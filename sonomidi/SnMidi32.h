/*
 * SnMidi32: the MIDI driver library (libSnMidi32.so), plain C interface.
 *
 * Handles are 32-bit values above 32; 0 and 1..32 are error codes. A handle is
 * never reused, so a closed one stays invalid. A "window" argument is an
 * SnMidiWindow (copied at open; may be NULL): the library calls its post
 * function from its own threads (clock, input) or from the calling thread.
 * Once StopSync, CloseSync, StopMidiIn, CloseMidiIn or CloseMidiOut has
 * returned, the library never calls that sink again for that handle.
 *
 * Messages posted:
 *   SNMIDI_MSG_BEAT      once per clock beat, clock thread; wParam = beats since StartSync,
 *                        lParam = the beat's due time: its absolute deadline in microseconds
 *                        of CLOCK_MONOTONIC (the message itself arrives at or after it).
 *   SNMIDI_MSG_SYNC_DONE once by StopSync of a running clock, calling thread, before it returns.
 *   SNMIDI_MSG_OUT_BUFFER_READY  for an output port linked to a clock: once at open (calling
 *                        thread) and after a refused PutMidiOut, when the queue is half empty
 *                        again (clock thread). Ports without a clock never post it.
 *   SNMIDI_MSG_MIM_DATA  once per input event queued for GetMidiIn, input thread.
 *   SNMIDI_MSG_MIM_CLOSE once when a started input device went away (unplugged), input thread;
 *                        the port delivers nothing more but stays open until CloseMidiIn.
 *
 * Timing of the messages of a beat: the thread that dispatches beat messages
 * calls SnMidiSetDispatchDue(due of the beat) before handling one and
 * SnMidiSetDispatchDue(0) after. A message that this thread puts to a port
 * without a clock in between is scheduled to sound at the beat's due time plus
 * the output latency (SNMIDI32_LATENCY_MS), so it sounds on the beat's grid
 * however late the thread got to the beat; one that would already be late goes
 * out at once. Messages put at any other moment, or by other threads, go out at
 * once. The built-in synthesizer renders in 64-frame steps and applies each
 * message before the step its due time falls in (live and into a WAV file, whose
 * clock is its sample count); ALSA ports get the message as an event scheduled
 * on a real-time queue; capture-only devices record the due time. ResetMidiOut
 * and FlushMidiOut forget the port's scheduled messages that have not sounded.
 * SnMidiGetOutputLatency tells the latency a port applies, so that a program can
 * say when what it put will sound.
 *
 * Output devices: 0 is the built-in synthesizer ("Tamborly Synth"), then every
 * ALSA sequencer port that accepts writes (through-ports excluded), then the
 * capture-only devices of SNMIDI32_CAPTURE_DEVICES.
 *
 * Environment, read once when the library is loaded:
 *   SNMIDI32_SOUNDFONT       soundfont of the built-in synth
 *   SNMIDI32_AUDIO           auto (default) | null | file:PATH.wav
 *   SNMIDI32_CAPTURE         file receiving one line per message put to any device:
 *                            "<us put> <device> <status> <data1> <data2> <us due to sound>"
 *                            (both times in microseconds of CLOCK_MONOTONIC; the last is the
 *                            put time for a message sent at once)
 *   SNMIDI32_LATENCY_MS      output latency of the messages of a beat (default 20, 0 to 1000)
 *   SNMIDI32_CAPTURE_DEVICES Name1,Name2,... extra capture-only devices; a leading
 *                            "!" makes a device that refuses to open
 *   SNMIDI32_INPUT_DEVICES   Name:PATH[,Name2:PATH2] replay input devices, listed after the
 *                            ALSA inputs. Once started, a replay device delivers each line
 *                            "<us after start> <status> <data1> <data2>" (decimal) of PATH at
 *                            that time, through the same queue and message as real input,
 *                            stamped with that time (start + us); other lines are skipped. A
 *                            PATH that cannot be read makes a device that refuses to open.
 *
 * Standard MIDI Files (formats 0, 1 and 2):
 *   ReadSMF delivers channel messages with running status expanded and each
 *   Set Tempo meta event as a record of status 0; other meta events and SysEx
 *   are skipped, their delta times added to the next record's time.
 *   ReadMetaEvent(type 0x51) answers a track's successive Set Tempo events on
 *   successive calls (then the last one again); RewindSMF starts them over.
 *   Other types always answer the track's first event of that type.
 *   Writing: resolution 480 unless SetSMFResolution sets another before the
 *   first track is written. WriteMetaEvent's value is the absolute tick of the
 *   event (0 for a track name); data is a zero-terminated text for types
 *   0x01-0x07, 3 bytes for 0x51, 4 for 0x58, 2 for 0x59 (also 2 for 0x00, 1 for
 *   0x20 and 0x21, 5 for 0x54; other types are refused). Type 0x2F takes no data:
 *   its value is the least tick of the track's End of Track. A track's meta events
 *   are merged with its records by time when the track is written (meta events
 *   first at equal ticks); CloseSMF completes the file.
 *   SMPTE time division and resolution 0 are refused (OpenSMF returns 0).
 *   A damaged file is read as far as it goes: a track stops at the first event
 *   that cannot be decoded inside its chunk and the file (a chunk length past the
 *   end of the file keeps what the file holds; a header promising more tracks
 *   than there are gives the tracks present). The reader never reads outside it.
 */
#ifndef SNMIDI32_H
#define SNMIDI32_H

#include <stdint.h>

#if defined(SNMIDI32_BUILDING)
#define SNMIDI32_API __attribute__((visibility("default")))
#else
#define SNMIDI32_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t SNHANDLE;

#pragma pack(push, 1)
typedef struct MIDIEVENT {
    uint32_t time;   /* delta ticks */
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
    uint8_t data3;   /* passed through */
} MIDIEVENT, *LPMIDIEVENT;
#pragma pack(pop)

typedef void (*SnMidiPost)(void *context, uint32_t message, uintptr_t wParam, intptr_t lParam);
typedef struct SnMidiWindow {
    SnMidiPost post;
    void *context;
} SnMidiWindow;

#define SNMIDI_MSG_BEAT 0x5452u
#define SNMIDI_MSG_OUT_BUFFER_READY 0x5453u
#define SNMIDI_MSG_SYNC_DONE 0x5457u
#define SNMIDI_MSG_MIM_DATA 0x3C3u
#define SNMIDI_MSG_MIM_CLOSE 0x3C2u

/* What an entry point answers when it fails: a 16-bit result other than 0, or an open's
   "handle" of 32 or less. 0 is success. */
typedef enum SnMidiError {
    SNMIDI_OK = 0,
    SNMIDI_ERR_FAILED = 1,        /* refused: a full output queue, a tempo below 100 us, a file
                                     that could not be written, a meta event it cannot take */
    SNMIDI_ERR_BAD_DEVICE = 2,    /* no device with that index */
    SNMIDI_ERR_REFUSED = 4,       /* the device would not open (no sequencer, unplugged, a
                                     replay file that cannot be read) */
    SNMIDI_ERR_BAD_HANDLE = 5,    /* not a live handle of the kind the entry point takes */
    SNMIDI_ERR_BAD_ARGUMENT = 11  /* a null pointer or a value out of range */
} SnMidiError;

/* 16-bit library version. */
SNMIDI32_API uint16_t GetSonoMidiVersion(void);

/* Output devices. */
SNMIDI32_API uint32_t GetNumOutDevices(void);
/* Fills name (32 bytes, zero-terminated inside them, a longer name cut at a UTF-8 character
   boundary); 0 on success, non-zero (and an empty name) for an unknown device. */
SNMIDI32_API uint16_t GetMidiOutDescription(uint16_t device, char *name);
/* Extension, not in the binding's table: why output does not sound as configured (no soundfont,
   a soundfont that is missing, unreadable or not a regular file, an audio or capture file that
   cannot be created, an unknown SNMIDI32_AUDIO value), in English; several causes are joined by
   "; ". Copies the text into text (size bytes, zero-terminated, cut to fit) and returns its
   whole length; 0 when nothing is wrong. Device 0's description is "Tamborly Synth (no
   soundfont)" while it has no soundfont. */
SNMIDI32_API uint32_t SnMidiGetLastError(char *text, uint32_t size);
/* Opens an output device; handle > 32, or an error code. clock 0: every message goes out at once,
   its time ignored. clock = a sync handle: records queue (1024 at most) and go out when their
   delta time, counted in that clock's beats, has passed. flags are not used. */
SNMIDI32_API SNHANDLE OpenMidiOut(SnMidiWindow *window, uint16_t device, SNHANDLE clock, uint32_t flags);
/* All Sound Off and All Notes Off on the 16 channels; nothing else changes. */
SNMIDI32_API uint16_t ResetMidiOut(SNHANDLE h);
/* Discards records the library still holds for the port (none without a clock). */
SNMIDI32_API uint16_t FlushMidiOut(SNHANDLE h);
SNMIDI32_API uint16_t CloseMidiOut(SNHANDLE h);
/* 0 = taken, else full until SNMIDI_MSG_OUT_BUFFER_READY. Channel messages only: a status below
   0x80 or from 0xF0 is dropped, reported as taken, and not captured. Data bytes are masked to
   7 bits; 0xC0-0xDF messages carry one data byte. */
SNMIDI32_API uint16_t PutMidiOut(SNHANDLE h, LPMIDIEVENT event);

/* Extension, not among the 35 entry points (look it up by name; it may be absent from other
   builds): the calling thread is now handling the beat due at `due` (microseconds of
   CLOCK_MONOTONIC, as the beat message's lParam gives it), or, with 0, no beat. Applies to that
   thread only; see "Timing of the messages of a beat" above. */
SNMIDI32_API void SnMidiSetDispatchDue(int64_t due);
/* Extension of the same family, not among the 35: the output latency this port applies, in
   microseconds: a message it takes while a beat due at `due` is handled is scheduled to sound at
   due + this (SNMIDI32_LATENCY_MS, or its default, for a port without a clock; 0 for a port linked
   to a clock, whose records go out on its beats). A message that would already be late sounds
   when it is put instead. -1 for an unknown handle. Any thread. Programs that compare a drummer's
   hits with the strokes heard use it, since what they hear is placed that much after the beat. */
SNMIDI32_API int32_t SnMidiGetOutputLatency(SNHANDLE h);

/* Input devices: the ALSA sequencer ports that can be read, then the replay devices of
   SNMIDI32_INPUT_DEVICES. Counting refreshes the list; names and opens use it as last counted.
   StartMidiIn starts a thread that queues each short message and posts SNMIDI_MSG_MIM_DATA.
   A record's time is its arrival in microseconds of CLOCK_MONOTONIC, modulo 2^32; SysEx and
   system real-time messages (0xF8-0xFF: clock, active sensing) are not delivered. */
SNMIDI32_API uint32_t GetNumInDevices(void);
/* Like GetMidiOutDescription, for input devices. */
SNMIDI32_API uint16_t GetMidiInDescription(uint16_t device, char *name);
/* Handle > 32, or an error code: SNMIDI_ERR_BAD_DEVICE, SNMIDI_ERR_REFUSED (no sequencer,
   unplugged, replay file unreadable). clock and flags are not used. */
SNMIDI32_API SNHANDLE OpenMidiIn(SnMidiWindow *window, uint16_t device, SNHANDLE clock, uint32_t flags);
/* Starts delivering; a replay device counts its lines' times from now. Nothing when started. */
SNMIDI32_API uint16_t StartMidiIn(SNHANDLE h);
/* Extension, not among the 35: StartMidiIn with a replay device's lines counted from
   zeroMicros (CLOCK_MONOTONIC, us), e.g. when a song's first tick was due; lines already due
   are delivered at once. Other devices ignore zeroMicros. */
SNMIDI32_API uint16_t SnMidiStartMidiInAt(SNHANDLE h, int64_t zeroMicros);
SNMIDI32_API uint16_t StopMidiIn(SNHANDLE h);
SNMIDI32_API uint16_t CloseMidiIn(SNHANDLE h);
/* Next pending input event (owned by the library, valid until the next call), or NULL. */
SNMIDI32_API LPMIDIEVENT GetMidiIn(SNHANDLE h);

/* Sync clock: its own thread sleeps to absolute deadlines (CLOCK_MONOTONIC) and posts
   SNMIDI_MSG_BEAT every tempo microseconds (default 7812), the first one tempo after the start.
   first and second are not used. A clock more than a second behind (a suspended machine)
   starts a new grid instead of posting the missed beats. */
SNMIDI32_API SNHANDLE OpenSync(uint32_t reserved, SnMidiWindow *window, uint16_t first, uint16_t second);
/* Stops the clock (no SNMIDI_MSG_SYNC_DONE) and releases it; linked ports then send at once. */
SNMIDI32_API uint16_t CloseSync(SNHANDLE h);
/* Returns when the clock's thread has stopped posting; then posts SNMIDI_MSG_SYNC_DONE. */
SNMIDI32_API uint16_t StopSync(SNHANDLE h);
/* Starts the beats with the position at 0; nothing when already running. */
SNMIDI32_API uint16_t StartSync(SNHANDLE h);
/* Stops the beats like StopSync but silently; ReStartSync goes on from the same position. */
SNMIDI32_API uint16_t PauseSync(SNHANDLE h, uint32_t pause);
SNMIDI32_API uint16_t ReStartSync(SNHANDLE h);
/* 0 on success; a tempo below 100 us is refused (non-zero), as is handle 0. While running, the
   next beat comes tempo microseconds after the previous one. */
SNMIDI32_API uint16_t SetTempo(SNHANDLE h, uint32_t tempo);
/* Ticks per quarter note, kept for GetResolution; the beat period stays as it is. */
SNMIDI32_API uint16_t SetResolution(SNHANDLE h, uint16_t resolution);
SNMIDI32_API uint32_t GetTempo(SNHANDLE h);
SNMIDI32_API uint16_t GetResolution(SNHANDLE h);
/* Beats posted since StartSync, into *position; 0 on success. */
SNMIDI32_API uint16_t GetPosition(SNHANDLE h, uint32_t *position);

/* Standard MIDI Files. mode is 'r' or 'w'. Handle, or 0 when refused.
   'r': *format and *tracks receive the file's format and the number of track chunks present.
   'w': the file is created at once; *format (0, 1 or 2; 0 with several tracks becomes 1) and
   *tracks (the least number of tracks to write) are read, not written. */
SNMIDI32_API SNHANDLE OpenSMF(const char *fileName, uint32_t *format, char mode, uint32_t *tracks);
/* Reading: releases the file. Writing: writes it out; non-zero when that failed. */
SNMIDI32_API uint16_t CloseSMF(SNHANDLE h);
SNMIDI32_API uint16_t RewindSMF(SNHANDLE h);
/* Up to max records of the track into dest, continuing where the last call stopped; 0 at the
   track's end. A Set Tempo record has status 0 and the tempo's three bytes in data1..data3. */
SNMIDI32_API uint32_t ReadSMF(SNHANDLE h, uint32_t track, LPMIDIEVENT dest, uint32_t max);
/* Appends count records (delta times) to the track; returns count. Records that are not channel
   messages are left out, their delta times kept. */
SNMIDI32_API uint32_t WriteSMF(SNHANDLE h, uint32_t track, const MIDIEVENT *records, uint32_t count);
SNMIDI32_API uint16_t GetSMFResolution(SNHANDLE h);
SNMIDI32_API uint16_t SetSMFResolution(SNHANDLE h, uint16_t resolution);
/* -1 if absent, else 0 with *data (library-owned, valid until the next call or CloseSMF; a zero
   byte follows the data, not counted in *length) and *length. */
SNMIDI32_API int32_t ReadMetaEvent(SNHANDLE h, uint32_t track, uint8_t type, uint8_t **data, uint32_t *length);
/* 0 on success. */
SNMIDI32_API int32_t WriteMetaEvent(SNHANDLE h, uint32_t track, uint8_t type, const void *data, uint32_t value);

#ifdef __cplusplus
}
#endif

#endif
