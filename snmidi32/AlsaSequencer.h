#pragma once

#include <memory>
#include <string>
#include <vector>

typedef struct _snd_seq snd_seq_t;

// One ALSA sequencer client of ours, opened non-blocking, closed with the object.
// On a machine without a sequencer (/dev/snd/seq absent) nothing is opened and nothing is printed.
class AlsaSequencer {
public:
    struct Port {
        int client = 0;
        int port = 0;
        std::string name;
    };

    // A client named "Tamborly", or null when there is no sequencer.
    static std::unique_ptr<AlsaSequencer> open();
    ~AlsaSequencer();
    AlsaSequencer(const AlsaSequencer &) = delete;
    AlsaSequencer &operator=(const AlsaSequencer &) = delete;

    // Ports that other clients may subscribe to for writing (outputs) or reading (inputs);
    // the kernel's through-ports, the system client and our own ports are left out.
    static std::vector<Port> ports(bool writable);

    snd_seq_t *handle() const { return seq; }

private:
    explicit AlsaSequencer(snd_seq_t *seq) : seq(seq) {}
    snd_seq_t *seq;
};
