#pragma once

// Shared set-up of the player window's benchmarks: the built application folder,
// English, message boxes recorded, the window with its dialogs, shown, and
// small helpers for timing and Standard MIDI Files.

#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

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

// A format-1 file at 64 ticks per quarter note; each track a list of
// (tick, status, data1, data2), written with a full status byte per event.
struct Evento {
    uint32_t tick;
    uint8_t status, dado1, dado2;
};

inline void vlq(QByteArray &saida, uint32_t valor)
{
    QByteArray b;
    b.prepend(char(valor & 0x7F));
    while ((valor >>= 7) != 0)
        b.prepend(char((valor & 0x7F) | 0x80));
    saida.append(b);
}

inline void u32(QByteArray &saida, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        saida.append(char((v >> s) & 0xFF));
}

inline bool gravarMidi(const QString &caminho, const std::vector<std::vector<Evento>> &trilhas, uint32_t micros)
{
    QByteArray arquivo("MThd", 4);
    u32(arquivo, 6);
    arquivo.append(char(0)).append(char(1));
    arquivo.append(char(trilhas.size() >> 8)).append(char(trilhas.size() & 0xFF));
    arquivo.append(char(0)).append(char(64));
    for (size_t t = 0; t < trilhas.size(); ++t) {
        QByteArray corpo;
        if (t == 0 && micros) {
            corpo.append(QByteArray("\x00\xFF\x51\x03", 4));
            corpo.append(char(micros >> 16)).append(char(micros >> 8)).append(char(micros));
        }
        uint32_t anterior = 0;
        for (const Evento &e : trilhas[t]) {
            vlq(corpo, e.tick - anterior);
            corpo.append(char(e.status)).append(char(e.dado1)).append(char(e.dado2));
            anterior = e.tick;
        }
        corpo.append(QByteArray("\x00\xFF\x2F\x00", 4));
        arquivo.append("MTrk", 4);
        u32(arquivo, uint32_t(corpo.size()));
        arquivo.append(corpo);
    }
    QFile saida(caminho);
    return saida.open(QIODevice::WriteOnly | QIODevice::Truncate) && saida.write(arquivo) == arquivo.size();
}

}
