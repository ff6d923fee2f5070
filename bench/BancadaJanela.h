#pragma once

// Shared set-up of the player window's benchmarks: the built application folder,
// English, message boxes recorded, the window with its dialogs, shown, and
// small helpers for timing and Standard MIDI Files.

#include "common/GravadorMidi.h"
#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace bancada {

inline int64_t agoraMicros()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

inline void relatar(const char *nome, std::vector<double> amostras, const char *unidade)
{
    if (amostras.empty()) {
        std::printf("%s: no samples\n", nome);
        return;
    }
    std::sort(amostras.begin(), amostras.end());
    const auto quantil = [&](double q) { return amostras[size_t(q * double(amostras.size() - 1))]; };
    std::printf("%s: n=%zu median=%.1f %s p99=%.1f %s max=%.1f %s\n", nome, amostras.size(), quantil(0.5), unidade,
                quantil(0.99), unidade, amostras.back(), unidade);
}

// The window as start-up builds it, on device `dispositivo`, shown.
struct Janela {
    explicit Janela(int dispositivo)
    {
        PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
        CaixaMensagem::gravar(true, true);
        GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("English"));
        ArquivoConfiguracao::instancia().setDriver(dispositivo);
        ArquivoConfiguracao::instancia().setVolume(100);
        principal = std::make_unique<TFormPrincipal>();
        principal->setAttribute(Qt::WA_QuitOnClose, false);
        new TFormSetup(principal.get());
        new TformAssistenteConfiguracaoDriver(principal.get());
        principal->show();
        const QDeadlineTimer prazo(30000);
        while (!prazo.hasExpired() && SaidaMIDI::instancia().getDispositivo() != dispositivo)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ~Janela() { GerenciadorIdiomas::descartarInstancia(); }
    std::unique_ptr<TFormPrincipal> principal;
};

// A format-1 file at 64 ticks per quarter note, written by the tests' MIDI writer;
// each track a list of (tick, status, data1, data2) at absolute ticks, in time order;
// a tempo of micros per quarter note at tick 0 of the first track unless micros is 0.
struct Evento {
    uint32_t tick;
    uint8_t status, dado1, dado2;
};

inline bool gravarMidi(const QString &caminho, const std::vector<std::vector<Evento>> &trilhas, uint32_t micros)
{
    std::vector<GravadorMidi::Trilha> gravadas(trilhas.size());
    for (size_t t = 0; t < trilhas.size(); ++t) {
        uint32_t anterior = 0;
        for (const Evento &e : trilhas[t]) {
            gravadas[t].registros.push_back({e.tick - anterior, e.status, e.dado1, e.dado2});
            anterior = e.tick;
        }
    }
    if (!gravadas.empty() && micros)
        gravadas[0].metas.push_back(GravadorMidi::andamento(0, micros));
    return GravadorMidi::gravar(caminho, 64, gravadas);
}

}
