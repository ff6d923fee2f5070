#pragma once

#include <exception>

// The silent error: it ends the handler that raised it, and the event loop
// reports nothing.
class EAbort : public std::exception {
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};
