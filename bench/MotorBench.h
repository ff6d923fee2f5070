#pragma once

// Helpers shared by the engine's benchmarks: statistics, the clock, peak memory
// and Standard MIDI Files written through the toolkit's own writer.
#include "platform/PastaAplicacao.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiTrack.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace motorbench {

inline double agoraMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Value at the fraction (0.5 = median) of a sorted copy.
inline double quantil(std::vector<double> valores, double fracao)
{
    if (valores.empty())
        return 0;
    std::sort(valores.begin(), valores.end());
    const size_t i = std::min(valores.size() - 1, size_t(fracao * double(valores.size() - 1) + 0.5));
    return valores[i];
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS").
inline long memoriaKb(const char *campo)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefixo = QByteArray(campo) + ':';
    for (const QByteArray &linha : status.readAll().split('\n')) {
        if (linha.startsWith(prefixo))
            return linha.mid(prefixo.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Resets the peak resident size to the current one (Linux 4.0 and later).
inline bool zerarPico()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

struct Registro {
    uint32_t delta;
    uint8_t status, dado1, dado2;
};

struct Trilha {
    std::vector<Registro> registros;
    QByteArray nome;
    std::vector<std::pair<uint32_t, uint32_t>> andamentos;  // (absolute tick, microseconds per quarter)
};

inline void usarPastaConstruida()
{
    PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
}

inline bool gravarMidi(const QString &caminho, uint16_t resolucao, const std::vector<Trilha> &trilhas)
{
    TSonoMidi ligacao;
    TSonoMidiSMF arquivo;
    arquivo.SonoMidi = &ligacao;
    TSonoMidiScore partitura(static_cast<int>(trilhas.size()));
    if (!arquivo.Open(caminho, 'w', 1))
        return false;
    arquivo.SetScore(&partitura);
    ligacao.SetSMFResolution(arquivo.GetHandle(), resolucao);
    bool certo = true;
    for (size_t t = 0; t < trilhas.size(); ++t) {
        TSonoMidiTrack *trilha = partitura.GetTrack(static_cast<int>(t));
        const auto &registros = trilhas[t].registros;
        trilha->SetCapacity(static_cast<uint32_t>(registros.size()) + 1);
        for (size_t k = 0; k < registros.size(); ++k)
            *trilha->GetEvent(static_cast<uint32_t>(k)) = MIDIEVENT{registros[k].delta, registros[k].status, registros[k].dado1, registros[k].dado2, 0};
        trilha->SetNumEvents(static_cast<uint32_t>(registros.size()));
        if (!trilhas[t].nome.isEmpty())
            certo = arquivo.WriteMetaEvent(trilha, 0x03, trilhas[t].nome.constData(), 0) && certo;
        for (const auto &[tick, micros] : trilhas[t].andamentos) {
            const char dados[3] = {char(micros >> 16), char(micros >> 8), char(micros)};
            certo = arquivo.WriteMetaEvent(trilha, 0x51, dados, tick) && certo;
        }
        certo = arquivo.WriteTrack(trilha) && certo;
        trilha->Clear();
    }
    arquivo.Close();
    return certo;
}

}  // namespace motorbench
