#include "engine/EntradaMIDI.h"

#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiIn.h"

#include <QTimer>

#include <ctime>

namespace {

EntradaMIDI *&unica()
{
    static EntradaMIDI *instancia = nullptr;
    return instancia;
}

}  // namespace

EntradaMIDI &EntradaMIDI::instancia()
{
    if (!unica())
        unica() = new EntradaMIDI;
    return *unica();
}

EntradaMIDI::EntradaMIDI()
{
    sonoMidi = std::make_unique<TSonoMidi>(nullptr);
    porta = std::make_unique<TSonoMidiIn>(nullptr);
    porta->SonoMidi = sonoMidi.get();
    porta->OnMidiData = [this](LPMIDIEVENT registro, bool *) {
        if (receptor)
            receptor(registro->status, registro->data1, registro->data2,
                     instanteDoRegistro(registro->time, agora()));
    };
    porta->OnMidiClose = [this](QObject *) {
        // Closing inside the port's own message handler is not safe: do it right after.
        QTimer::singleShot(0, [this] {
            if (!porta->IsOpen())
                return;
            fechar();
            if (aoPerder)
                aoPerder();
        });
    };
}

EntradaMIDI::~EntradaMIDI() = default;

int64_t EntradaMIDI::agora()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

int64_t EntradaMIDI::instanteDoRegistro(uint32_t carimbo, int64_t agora)
{
    // The stamp wraps every 71 minutes; a record is never older than that.
    return agora - int64_t(uint32_t(uint32_t(uint64_t(agora)) - carimbo));
}

QStringList EntradaMIDI::listarDispositivos()
{
    QStringList nomes;
    const uint32_t total = sonoMidi->GetNumInDevices();
    for (uint32_t i = 0; i < total && i <= 0xFFFF; ++i) {
        char descricao[32] = {};
        sonoMidi->GetMidiInDescription(uint16_t(i), descricao);
        descricao[sizeof descricao - 1] = '\0';
        nomes.append(QString::fromUtf8(descricao));
    }
    return nomes;
}

bool EntradaMIDI::abrirSemIniciar(const QString &novo)
{
    fechar();
    if (novo.isEmpty())
        return false;
    const qsizetype indice = listarDispositivos().indexOf(novo);
    if (indice < 0 || !porta->Open(uint16_t(indice), 0))
        return false;
    nome = novo;
    return true;
}

bool EntradaMIDI::abrirDispositivo(const QString &novo)
{
    if (!abrirSemIniciar(novo))
        return false;
    porta->Start();
    return true;
}

void EntradaMIDI::iniciar(int64_t inicio)
{
    if (porta->IsOpen())
        porta->StartAt(inicio);
}

void EntradaMIDI::reiniciar(int64_t inicio)
{
    if (!porta->IsOpen())
        return;
    porta->Stop();
    porta->StartAt(inicio);
}

void EntradaMIDI::fechar()
{
    if (porta->IsOpen())
        porta->Close();
    nome.clear();
}

bool EntradaMIDI::dispositivoAberto() const
{
    return porta->IsOpen();
}
