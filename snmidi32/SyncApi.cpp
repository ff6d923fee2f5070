// Entry points of the sync clock.
#include "SnMidi32.h"

#include "Library.h"
#include "SyncClock.h"

namespace {

std::shared_ptr<SyncClock> findClock(SNHANDLE h)
{
    return Library::instance().handles.find<SyncClock>(h);
}

template <class Action>
uint16_t withClock(SNHANDLE h, Action &&action)
{
    return withHandle<SyncClock>(h, std::forward<Action>(action));
}

} // namespace

extern "C" {

SNMIDI32_API SNHANDLE OpenSync(uint32_t, SnMidiWindow *window, uint16_t, uint16_t)
{
    return guarded<SNHANDLE>(SNMIDI_ERR_FAILED, [&] { return Library::instance().handles.add(std::make_shared<SyncClock>(window)); });
}

SNMIDI32_API uint16_t CloseSync(SNHANDLE h)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<SyncClock> clock = Library::instance().handles.remove<SyncClock>(h);
        if (!clock)
            return SNMIDI_ERR_BAD_HANDLE;
        clock->stop(false);
        clock->unlinkAll();
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t StopSync(SNHANDLE h)
{
    return withClock(h, [](SyncClock &clock) -> uint16_t {
        clock.stop(true);
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t StartSync(SNHANDLE h)
{
    return withClock(h, [](SyncClock &clock) -> uint16_t {
        clock.start(true);
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t PauseSync(SNHANDLE h, uint32_t)
{
    return withClock(h, [](SyncClock &clock) -> uint16_t {
        clock.stop(false);
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t ReStartSync(SNHANDLE h)
{
    return withClock(h, [](SyncClock &clock) -> uint16_t {
        clock.start(false);
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint16_t SetTempo(SNHANDLE h, uint32_t tempo)
{
    return withClock(h, [tempo](SyncClock &clock) { return clock.setTempo(tempo); });
}

SNMIDI32_API uint16_t SetResolution(SNHANDLE h, uint16_t resolution)
{
    return withClock(h, [resolution](SyncClock &clock) -> uint16_t {
        if (resolution == 0)
            return SNMIDI_ERR_BAD_ARGUMENT;
        clock.setResolution(resolution);
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint32_t GetTempo(SNHANDLE h)
{
    return guarded<uint32_t>(0, [&]() -> uint32_t {
        std::shared_ptr<SyncClock> clock = findClock(h);
        return clock ? clock->tempo() : 0;
    });
}

SNMIDI32_API uint16_t GetResolution(SNHANDLE h)
{
    return guarded<uint16_t>(0, [&]() -> uint16_t {
        std::shared_ptr<SyncClock> clock = findClock(h);
        return clock ? clock->resolution() : 0;
    });
}

SNMIDI32_API uint16_t GetPosition(SNHANDLE h, uint32_t *position)
{
    return withClock(h, [position](SyncClock &clock) -> uint16_t {
        if (!position)
            return SNMIDI_ERR_BAD_ARGUMENT;
        *position = clock.position();
        return SNMIDI_OK;
    });
}

} // extern "C"
