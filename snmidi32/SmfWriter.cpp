#include "SmfWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint32_t maximumTracks = 0xFFFF;  // the header counts tracks in 16 bits
constexpr uint64_t maximumDelta = 0x0FFFFFFF;  // the largest four-byte variable-length number

void putNumber(std::vector<uint8_t> &out, uint64_t value)
{
    uint32_t v = uint32_t(std::min(value, maximumDelta));
    uint8_t buffer[4];
    int n = 0;
    buffer[n++] = v & 0x7F;
    while (v >>= 7)
        buffer[n++] = uint8_t(0x80 | (v & 0x7F));
    while (n > 0)
        out.push_back(buffer[--n]);
}

void put32(std::vector<uint8_t> &out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void put16(std::vector<uint8_t> &out, uint16_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

// Bytes of data each meta type takes from WriteMetaEvent's data argument; 0 for text, -1 unknown.
int metaSize(uint8_t type)
{
    if (type >= 0x01 && type <= 0x07)
        return 0;
    switch (type) {
    case 0x00: return 2;  // sequence number
    case 0x20: return 1;  // channel prefix
    case 0x21: return 1;  // port
    case 0x51: return 3;  // Set Tempo
    case 0x54: return 5;  // SMPTE offset
    case 0x58: return 4;  // time signature
    case 0x59: return 2;  // key signature
    default: return -1;
    }
}

bool writeAll(int fd, const std::vector<uint8_t> &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace

std::unique_ptr<SmfWriter> SmfWriter::open(const char *fileName, uint32_t format, uint32_t tracks)
{
    if (!fileName || !*fileName)
        return nullptr;
    const int fd = ::open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<SmfWriter>(new SmfWriter(fd, format, tracks));
}

SmfWriter::SmfWriter(int descriptor, uint32_t format, uint32_t tracks)
    : descriptor(descriptor), fileFormat(format > 2 ? 1 : format)
{
    this->tracks.resize(std::min(tracks, maximumTracks));
}

SmfWriter::~SmfWriter()
{
    if (!finished)
        finish();
}

uint16_t SmfWriter::setResolution(uint16_t ticks)
{
    if (recordsWritten || ticks == 0 || (ticks & 0x8000))
        return SNMIDI_ERR_FAILED;
    ticksPerQuarter = ticks;
    return SNMIDI_OK;
}

SmfWriter::Track *SmfWriter::trackAt(uint32_t index)
{
    if (index >= maximumTracks)
        return nullptr;
    if (index >= tracks.size())
        tracks.resize(index + 1);
    return &tracks[index];
}

uint32_t SmfWriter::write(uint32_t index, const MIDIEVENT *records, uint32_t count)
{
    Track *track = trackAt(index);
    if (!track || (!records && count > 0) || finished)
        return 0;
    recordsWritten = true;
    track->records.reserve(track->records.size() + count);
    for (uint32_t i = 0; i < count; ++i) {
        const MIDIEVENT &r = records[i];
        track->tick += r.time;
        if (r.status < 0x80 || r.status >= 0xF0)
            continue;
        track->records.push_back({track->tick, {r.status, uint8_t(r.data1 & 0x7F), uint8_t(r.data2 & 0x7F)}});
    }
    return count;
}

int32_t SmfWriter::writeMeta(uint32_t index, uint8_t type, const void *data, uint32_t tick)
{
    Track *track = finished ? nullptr : trackAt(index);
    if (!track)
        return SNMIDI_ERR_FAILED;
    if (type == 0x2F) {
        track->endTick = std::max<uint64_t>(track->endTick, tick);
        return 0;
    }
    const int size = metaSize(type);
    if (size < 0 || !data)
        return SNMIDI_ERR_FAILED;
    const char *bytes = static_cast<const char *>(data);
    Meta meta{tick, type, size == 0 ? std::string(bytes) : std::string(bytes, size_t(size))};
    track->metas.push_back(std::move(meta));
    return 0;
}

bool SmfWriter::finish()
{
    if (finished)
        return false;
    finished = true;
    const uint32_t format = tracks.size() > 1 && fileFormat == 0 ? 1 : fileFormat;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'M', 'T', 'h', 'd'});
    put32(out, 6);
    put16(out, uint16_t(format));
    put16(out, uint16_t(tracks.size()));
    put16(out, ticksPerQuarter);

    for (Track &track : tracks) {
        std::stable_sort(track.metas.begin(), track.metas.end(),
                         [](const Meta &a, const Meta &b) { return a.tick < b.tick; });
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        const size_t lengthAt = out.size();
        put32(out, 0);
        uint64_t now = 0;
        uint8_t running = 0;
        size_t m = 0;
        size_t r = 0;
        while (m < track.metas.size() || r < track.records.size()) {
            const bool takeMeta =
                m < track.metas.size() && (r == track.records.size() || track.metas[m].tick <= track.records[r].tick);
            if (takeMeta) {
                const Meta &meta = track.metas[m++];
                putNumber(out, meta.tick - now);
                now = meta.tick;
                out.push_back(0xFF);
                out.push_back(meta.type);
                putNumber(out, meta.data.size());
                out.insert(out.end(), meta.data.begin(), meta.data.end());
                running = 0;  // a meta event ends running status
            } else {
                const Record &record = track.records[r++];
                putNumber(out, record.tick - now);
                now = record.tick;
                if (record.bytes[0] != running)
                    out.push_back(record.bytes[0]);
                running = record.bytes[0];
                out.push_back(record.bytes[1]);
                if ((record.bytes[0] & 0xE0) != 0xC0)
                    out.push_back(record.bytes[2]);
            }
        }
        putNumber(out, track.endTick > now ? track.endTick - now : 0);
        out.insert(out.end(), {0xFF, 0x2F, 0x00});
        const uint32_t length = uint32_t(out.size() - lengthAt - 4);
        for (int i = 0; i < 4; ++i)
            out[lengthAt + i] = uint8_t(length >> (24 - 8 * i));
    }
    const bool ok = writeAll(descriptor, out);
    const bool closed = close(descriptor) == 0;
    descriptor = -1;
    return ok && closed;
}
