#pragma once

// Helpers shared by the engine's benchmarks: statistics, the clock, peak memory
// and Standard MIDI Files written through the toolkit's own writer.
#include "platform/PastaAplicacao.h"
#include "common/GravadorMidi.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdlib>
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

using Registro = GravadorMidi::Registro;

struct Trilha {
    std::vector<Registro> registros;
    QByteArray nome;
    std::vector<std::pair<uint32_t, uint32_t>> andamentos;  // (absolute tick, microseconds per quarter)
};

inline void usarPastaConstruida()
{
    PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
}

// The process of an import benchmark: an application object, the built application
// folder, the synth silent and nothing captured (a capture would time the disk).
struct ProcessoImportacao {
    ProcessoImportacao(int &argc, char **argv) : aplicacao(argc, argv)
    {
        setenv("SNMIDI32_AUDIO", "null", 1);
        unsetenv("SNMIDI32_CAPTURE");
        usarPastaConstruida();
    }
    QCoreApplication aplicacao;
};

inline bool gravarMidi(const QString &caminho, uint16_t resolucao, const std::vector<Trilha> &trilhas)
{
    std::vector<GravadorMidi::Trilha> gravadas;
    for (const Trilha &trilha : trilhas) {
        GravadorMidi::Trilha gravada{trilha.registros, {}};
        if (!trilha.nome.isEmpty())
            gravada.metas.push_back(GravadorMidi::nome(trilha.nome));
        for (const auto &[tick, micros] : trilha.andamentos)
            gravada.metas.push_back(GravadorMidi::andamento(tick, micros));
        gravadas.push_back(std::move(gravada));
    }
    return GravadorMidi::gravar(caminho, resolucao, gravadas);
}

}  // namespace motorbench
