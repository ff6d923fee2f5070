#include "AlsaSequencer.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

std::unique_ptr<AlsaSequencer> AlsaSequencer::open()
{
    // Asking ALSA to open a missing device makes it print; look first.
    if (access("/dev/snd/seq", R_OK | W_OK) != 0)
        return nullptr;
    snd_seq_t *seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0 || !seq)
        return nullptr;
    snd_seq_set_client_name(seq, "Tamborly");
    return std::unique_ptr<AlsaSequencer>(new AlsaSequencer(seq));
}

std::unique_ptr<AlsaSequencer> AlsaSequencer::connect(const Port &peer, Direction direction)
{
    std::unique_ptr<AlsaSequencer> sequencer = open();
    if (!sequencer)
        return nullptr;
    snd_seq_t *seq = sequencer->seq;
    const bool out = direction == Direction::toPeer;
    const unsigned caps = out ? (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ)
                              : (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
    const int port = snd_seq_create_simple_port(seq, out ? "Tamborly out" : "Tamborly in", caps,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0)
        return nullptr;
    const int connected = out ? snd_seq_connect_to(seq, port, peer.client, peer.port)
                              : snd_seq_connect_from(seq, port, peer.client, peer.port);
    if (connected < 0)
        return nullptr;
    sequencer->ownPort = port;
    return sequencer;
}

AlsaSequencer::~AlsaSequencer()
{
    snd_seq_close(seq);
}

std::vector<AlsaSequencer::Port> AlsaSequencer::ports(bool writable)
{
    std::vector<Port> result;
    std::unique_ptr<AlsaSequencer> sequencer = open();
    if (!sequencer)
        return result;
    snd_seq_t *seq = sequencer->seq;
    const int self = snd_seq_client_id(seq);
    const unsigned needed = writable ? (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE)
                                     : (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);

    snd_seq_client_info_t *client = nullptr;
    snd_seq_port_info_t *port = nullptr;
    snd_seq_client_info_malloc(&client);
    snd_seq_port_info_malloc(&port);
    if (client && port) {
        snd_seq_client_info_set_client(client, -1);
        while (snd_seq_query_next_client(seq, client) >= 0) {
            const int id = snd_seq_client_info_get_client(client);
            const std::string clientName = snd_seq_client_info_get_name(client);
            if (id == SND_SEQ_CLIENT_SYSTEM || id == self || clientName == "Midi Through")
                continue;
            snd_seq_port_info_set_client(port, id);
            snd_seq_port_info_set_port(port, -1);
            while (snd_seq_query_next_port(seq, port) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(port);
                if ((caps & needed) != needed || (caps & SND_SEQ_PORT_CAP_NO_EXPORT))
                    continue;
                result.push_back({id, snd_seq_port_info_get_port(port), snd_seq_port_info_get_name(port)});
            }
        }
    }
    snd_seq_port_info_free(port);
    snd_seq_client_info_free(client);
    return result;
}
