#pragma once

// Loads libSnMidi32.so with dlopen after setting the environment it reads at load, and gives
// the benchmarks its entry points and a few statistics helpers.
#include "SnMidi32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <vector>

struct SnMidi32Bench {
    void *handle = nullptr;

    template <class F>
    F entry(const char *name)
    {
        F f = reinterpret_cast<F>(dlsym(handle, name));
        if (!f) {
            std::fprintf(stderr, "libSnMidi32.so lacks %s\n", name);
            std::exit(1);
        }
        return f;
    }

    SnMidi32Bench()
    {
        setenv("SNMIDI32_AUDIO", "null", 0);
        handle = dlopen(SNMIDI32_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "cannot load %s: %s\n", SNMIDI32_LIBRARY_PATH, dlerror());
            std::exit(1);
        }
    }
    ~SnMidi32Bench() { dlclose(handle); }
};

// The sync clock's entry points, as the clock benchmarks use them.
struct SyncEntries {
    explicit SyncEntries(SnMidi32Bench &lib)
        : openSync(lib.entry<decltype(&OpenSync)>("OpenSync")),
          setTempo(lib.entry<decltype(&SetTempo)>("SetTempo")),
          startSync(lib.entry<decltype(&StartSync)>("StartSync")),
          stopSync(lib.entry<decltype(&StopSync)>("StopSync")),
          closeSync(lib.entry<decltype(&CloseSync)>("CloseSync"))
    {
    }
    decltype(&OpenSync) openSync;
    decltype(&SetTempo) setTempo;
    decltype(&StartSync) startSync;
    decltype(&StopSync) stopSync;
    decltype(&CloseSync) closeSync;
};

inline long long monotonicNanos()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Value at the given fraction (0.5 = median) of a sorted copy.
inline double quantile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size() - 1) + 0.5));
    return values[index];
}
