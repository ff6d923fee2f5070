#pragma once

#include "OutputBackend.h"

// A capture-only device: the capture file is all it has.
class SilentBackend final : public OutputBackend {
public:
    void send(const uint8_t *, size_t, int64_t) override {}
};
