#include "SmfReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Larger files are not songs; refusing them keeps every offset within 32 bits.
constexpr uint64_t maximumFileSize = 256ull * 1024 * 1024;

uint32_t be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint16_t be16(const uint8_t *p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

enum class Kind { Channel, Tempo, Meta, SysEx, End, Eof, Broken };  // End: End of Track; Eof: chunk exhausted

struct Event {
    uint32_t delta;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
    uint8_t metaType;
    uint32_t dataOffset;
    uint32_t dataLength;
};

// A variable-length number of at most four bytes, as the format allows; false when it runs
// past the end or is longer.
inline bool readNumber(const uint8_t *bytes, uint32_t &pos, uint32_t end, uint32_t &value)
{
    uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= end)
            return false;
        const uint8_t b = bytes[pos++];
        result = (result << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            value = result;
            return true;
        }
    }
    return false;
}

// Decodes the event at pos and moves pos past it. Running status survives meta events and
// SysEx here, which the format forbids but some writers rely on; a valid file never notices.
inline Kind decode(const uint8_t *bytes, uint32_t &pos, uint32_t end, uint8_t &running, Event &e)
{
    e.delta = 0;
    if (pos >= end)
        return Kind::Eof;
    if (!readNumber(bytes, pos, end, e.delta) || pos >= end)
        return Kind::Broken;
    uint8_t status = bytes[pos];
    if (status & 0x80) {
        ++pos;
    } else {
        status = running;
        if (!status)
            return Kind::Broken;  // running status with nothing to run on (e.g. a track's first event)
    }
    if (status < 0xF0) {
        const unsigned count = (status & 0xE0) == 0xC0 ? 1 : 2;
        if (end - pos < count)
            return Kind::Broken;
        const uint8_t d1 = bytes[pos];
        const uint8_t d2 = count == 2 ? bytes[pos + 1] : 0;
        if ((d1 | d2) & 0x80)
            return Kind::Broken;
        pos += count;
        running = status;
        e.status = status;
        e.data1 = d1;
        e.data2 = d2;
        return Kind::Channel;
    }
    if (status == 0xFF) {
        if (pos >= end)
            return Kind::Broken;
        e.metaType = bytes[pos++];
        uint32_t length = 0;
        if (!readNumber(bytes, pos, end, length) || length > end - pos)
            return Kind::Broken;
        e.dataOffset = pos;
        e.dataLength = length;
        pos += length;
        if (e.metaType == 0x2F)
            return Kind::End;
        return e.metaType == 0x51 ? Kind::Tempo : Kind::Meta;
    }
    if (status == 0xF0 || status == 0xF7) {
        uint32_t length = 0;
        if (!readNumber(bytes, pos, end, length) || length > end - pos)
            return Kind::Broken;
        pos += length;
        return Kind::SysEx;
    }
    return Kind::Broken;  // system common and real-time bytes have no place in a file
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd;
};

bool readWholeFile(const char *fileName, std::vector<uint8_t> &bytes)
{
    // O_NONBLOCK: a FIFO or a device named like a song must not hold the caller; only a regular file is read.
    Descriptor file(open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0)
        return false;
    struct stat info {};
    if (fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode) || uint64_t(info.st_size) > maximumFileSize)
        return false;
    bytes.resize(size_t(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += size_t(got);
    }
    bytes.resize(done);  // a file that shrank while we read it is read as far as it went
    return true;
}

} // namespace

std::unique_ptr<SmfReader> SmfReader::open(const char *fileName)
{
    if (!fileName || !*fileName)
        return nullptr;
    std::unique_ptr<SmfReader> reader(new SmfReader);
    std::vector<uint8_t> &bytes = reader->bytes;
    if (!readWholeFile(fileName, bytes))
        return nullptr;
    const uint64_t size = bytes.size();
    if (size < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0)
        return nullptr;
    const uint32_t headerLength = be32(&bytes[4]);
    if (headerLength < 6 || headerLength > size - 8)
        return nullptr;
    const uint16_t format = be16(&bytes[8]);
    const uint16_t promised = be16(&bytes[10]);
    const uint16_t division = be16(&bytes[12]);
    if (format > 2 || division == 0 || (division & 0x8000))
        return nullptr;
    reader->fileFormat = format;
    reader->ticksPerQuarter = division;

    // Chunks of other types are skipped; a track whose length runs past the end of the file keeps
    // what the file holds; a header promising more tracks than there are gets the ones present.
    uint64_t pos = 8 + uint64_t(headerLength);
    while (pos + 8 <= size && reader->tracks.size() < promised) {
        const uint64_t length = be32(&bytes[pos + 4]);
        const uint64_t body = pos + 8;
        if (std::memcmp(&bytes[pos], "MTrk", 4) == 0) {
            Track track;
            track.begin = uint32_t(body);
            track.end = uint32_t(std::min(body + length, size));
            track.cursor = track.begin;
            track.tempoCursor = track.begin;
            reader->tracks.push_back(track);
        }
        pos = body + length;
    }
    return reader;
}

uint32_t SmfReader::read(uint32_t index, MIDIEVENT *destination, uint32_t maximum)
{
    if (index >= tracks.size() || !destination)
        return 0;
    Track &track = tracks[index];
    if (track.finished)
        return 0;
    const uint8_t *data = bytes.data();
    uint32_t pos = track.cursor;
    uint8_t running = track.runningStatus;
    uint64_t pending = 0;
    uint32_t count = 0;
    Event e;
    while (count < maximum) {
        const Kind kind = decode(data, pos, track.end, running, e);
        pending += e.delta;
        if (kind == Kind::Channel) {
            MIDIEVENT &out = destination[count++];
            out.time = uint32_t(std::min<uint64_t>(pending, UINT32_MAX));
            out.status = e.status;
            out.data1 = e.data1;
            out.data2 = e.data2;
            out.data3 = 0;
            pending = 0;
        } else if (kind == Kind::Tempo) {
            // The tempo itself travels in the data bytes as well, most significant first.
            MIDIEVENT &out = destination[count++];
            out.time = uint32_t(std::min<uint64_t>(pending, UINT32_MAX));
            out.status = 0;
            out.data1 = e.dataLength > 0 ? data[e.dataOffset] : 0;
            out.data2 = e.dataLength > 1 ? data[e.dataOffset + 1] : 0;
            out.data3 = e.dataLength > 2 ? data[e.dataOffset + 2] : 0;
            pending = 0;
        } else if (kind == Kind::End || kind == Kind::Eof || kind == Kind::Broken) {
            track.finished = true;
            break;
        }
    }
    track.cursor = pos;
    track.runningStatus = running;
    return count;
}

void SmfReader::rewind()
{
    for (Track &track : tracks) {
        track.cursor = track.begin;
        track.runningStatus = 0;
        track.finished = false;
        track.tempoCursor = track.begin;
        track.tempoRunning = 0;
        track.tempoAnswered = false;
    }
}

bool SmfReader::findMeta(uint32_t from, uint8_t fromRunning, uint32_t end, uint8_t type, uint32_t &dataOffset,
                         uint32_t &dataLength, uint32_t &after, uint8_t &afterRunning) const
{
    uint32_t pos = from;
    uint8_t running = fromRunning;
    Event e;
    for (;;) {
        const Kind kind = decode(bytes.data(), pos, end, running, e);
        if (kind == Kind::Broken || kind == Kind::Eof)
            return false;
        if ((kind == Kind::Meta || kind == Kind::Tempo || kind == Kind::End) && e.metaType == type) {
            dataOffset = e.dataOffset;
            dataLength = e.dataLength;
            after = pos;
            afterRunning = running;
            return true;
        }
        if (kind == Kind::End)
            return false;
    }
}

bool SmfReader::meta(uint32_t index, uint8_t type, const uint8_t *&data, uint32_t &length)
{
    if (index >= tracks.size())
        return false;
    Track &track = tracks[index];
    uint32_t offset = 0;
    uint32_t size = 0;
    if (type == 0x51) {
        uint32_t after = 0;
        uint8_t afterRunning = 0;
        if (findMeta(track.tempoCursor, track.tempoRunning, track.end, type, offset, size, after, afterRunning)) {
            track.tempoCursor = after;
            track.tempoRunning = afterRunning;
            track.tempoAnswered = true;
            track.lastTempo = offset;
            track.lastTempoLength = size;
        } else if (track.tempoAnswered) {
            offset = track.lastTempo;
            size = track.lastTempoLength;
        } else {
            return false;
        }
    } else {
        uint32_t after = 0;
        uint8_t afterRunning = 0;
        if (!findMeta(track.begin, 0, track.end, type, offset, size, after, afterRunning))
            return false;
    }
    answer.assign(bytes.begin() + offset, bytes.begin() + offset + size);
    answer.push_back(0);
    data = answer.data();
    length = size;
    return true;
}
