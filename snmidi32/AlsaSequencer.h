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
    // Which way a connected port carries messages.
    enum class Direction { toPeer, fromPeer };
    // A client with one port of ours, "Tamborly out" subscribed to peer or "Tamborly in" that
    // peer is subscribed to; null when there is no sequencer or the connection is refused.
    static std::unique_ptr<AlsaSequencer> connect(const Port &peer, Direction direction);
    ~AlsaSequencer();
    AlsaSequencer(const AlsaSequencer &) = delete;
    AlsaSequencer &operator=(const AlsaSequencer &) = delete;

    // Ports that other clients may subscribe to for writing (outputs) or reading (inputs);
    // the kernel's through-ports, the system client and our own ports are left out.
    static std::vector<Port> ports(bool writable);

    snd_seq_t *handle() const { return seq; }
    // Our connected port; -1 for a client opened without one.
    int port() const { return ownPort; }

private:
    explicit AlsaSequencer(snd_seq_t *seq) : seq(seq) {}
    snd_seq_t *seq;
    int ownPort = -1;
};
