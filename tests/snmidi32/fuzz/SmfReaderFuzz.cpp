// libFuzzer target for the Standard MIDI File reader: any bytes, opened as a file, read in
// records of varying size, with meta events fetched, must never crash or read outside the file.
#include "SmfReader.h"

#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int fd = memfd_create("smf-fuzz", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
        return 0;

    std::unique_ptr<SmfReader> reader = SmfReader::open(path.c_str());
    if (!reader)
        return 0;
    std::vector<MIDIEVENT> buffer(8192);
    const uint32_t chunk = size > 0 ? 1 + data[size - 1] % 64 : 8192;
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t t = 0; t < reader->trackCount(); ++t) {
            const uint8_t *meta = nullptr;
            uint32_t length = 0;
            for (uint8_t type : {0x03, 0x51, 0x51, 0x58, 0x2F, 0x00})
                if (reader->meta(t, type, meta, length) && length > 0)
                    (void)*(volatile const uint8_t *)(meta + length - 1);
            while (reader->read(t, buffer.data(), pass == 0 ? chunk : 8192) > 0) {
            }
        }
        reader->rewind();
    }
    return 0;
}
