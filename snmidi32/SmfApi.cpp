// Entry points of Standard MIDI File reading and writing.
#include "SnMidi32.h"

#include "Library.h"
#include "SmfReader.h"
#include "SmfWriter.h"

namespace {

HandleTable &handles() { return Library::instance().handles; }

} // namespace

extern "C" {

SNMIDI32_API SNHANDLE OpenSMF(const char *fileName, uint32_t *format, char mode, uint32_t *tracks)
{
    return guarded<SNHANDLE>(0, [&]() -> SNHANDLE {
        if (mode == 'r') {
            std::unique_ptr<SmfReader> reader = SmfReader::open(fileName);
            if (!reader)
                return 0;
            if (format)
                *format = reader->format();
            if (tracks)
                *tracks = reader->trackCount();
            return handles().add(std::shared_ptr<SmfReader>(std::move(reader)));
        }
        if (mode == 'w') {
            std::unique_ptr<SmfWriter> writer = SmfWriter::open(fileName, format ? *format : 1, tracks ? *tracks : 0);
            if (!writer)
                return 0;
            return handles().add(std::shared_ptr<SmfWriter>(std::move(writer)));
        }
        return 0;
    });
}

SNMIDI32_API uint16_t CloseSMF(SNHANDLE h)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        if (handles().remove<SmfReader>(h))
            return SNMIDI_OK;
        if (std::shared_ptr<SmfWriter> writer = handles().remove<SmfWriter>(h))
            return writer->finish() ? SNMIDI_OK : SNMIDI_ERR_FAILED;
        return SNMIDI_ERR_BAD_HANDLE;
    });
}

SNMIDI32_API uint16_t RewindSMF(SNHANDLE h)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<SmfReader> reader = handles().find<SmfReader>(h);
        if (!reader)
            return SNMIDI_ERR_BAD_HANDLE;
        reader->rewind();
        return SNMIDI_OK;
    });
}

SNMIDI32_API uint32_t ReadSMF(SNHANDLE h, uint32_t track, LPMIDIEVENT dest, uint32_t max)
{
    return guarded<uint32_t>(0, [&]() -> uint32_t {
        std::shared_ptr<SmfReader> reader = handles().find<SmfReader>(h);
        return reader ? reader->read(track, dest, max) : 0;
    });
}

SNMIDI32_API uint32_t WriteSMF(SNHANDLE h, uint32_t track, const MIDIEVENT *records, uint32_t count)
{
    return guarded<uint32_t>(0, [&]() -> uint32_t {
        std::shared_ptr<SmfWriter> writer = handles().find<SmfWriter>(h);
        return writer ? writer->write(track, records, count) : 0;
    });
}

SNMIDI32_API uint16_t GetSMFResolution(SNHANDLE h)
{
    return guarded<uint16_t>(0, [&]() -> uint16_t {
        if (std::shared_ptr<SmfReader> reader = handles().find<SmfReader>(h))
            return reader->resolution();
        if (std::shared_ptr<SmfWriter> writer = handles().find<SmfWriter>(h))
            return writer->resolution();
        return 0;
    });
}

SNMIDI32_API uint16_t SetSMFResolution(SNHANDLE h, uint16_t resolution)
{
    return guarded<uint16_t>(SNMIDI_ERR_BAD_HANDLE, [&]() -> uint16_t {
        std::shared_ptr<SmfWriter> writer = handles().find<SmfWriter>(h);
        if (!writer)
            return SNMIDI_ERR_BAD_HANDLE;
        return writer->setResolution(resolution);
    });
}

SNMIDI32_API int32_t ReadMetaEvent(SNHANDLE h, uint32_t track, uint8_t type, uint8_t **data, uint32_t *length)
{
    return guarded<int32_t>(-1, [&]() -> int32_t {
        std::shared_ptr<SmfReader> reader = handles().find<SmfReader>(h);
        const uint8_t *bytes = nullptr;
        uint32_t size = 0;
        if (!reader || !reader->meta(track, type, bytes, size))
            return -1;
        if (data)
            *data = const_cast<uint8_t *>(bytes);
        if (length)
            *length = size;
        return SNMIDI_OK;
    });
}

SNMIDI32_API int32_t WriteMetaEvent(SNHANDLE h, uint32_t track, uint8_t type, const void *data, uint32_t value)
{
    return guarded<int32_t>(SNMIDI_ERR_FAILED, [&]() -> int32_t {
        std::shared_ptr<SmfWriter> writer = handles().find<SmfWriter>(h);
        if (!writer)
            return SNMIDI_ERR_FAILED;
        return writer->writeMeta(track, type, data, value);
    });
}

} // extern "C"
