#include "tools/make-styles/GravadorEstilo.h"

#include "platform/Windows1252.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiTrack.h"

#include <QHash>
#include <QList>

#include <algorithm>

namespace {

struct Mensagem {
    int tick;
    int ordem;     // at one tick: controllers, then note-offs, then note-ons
    uint8_t status;
    uint8_t dado1;
    uint8_t dado2;
};

// The same small spread on every build, different for every stroke.
int variacao(const QString &estilo, int compasso, int passo, int nota, int amplitude)
{
    if (amplitude <= 0)
        return 0;
    const size_t semente = qHash(estilo) ^ (size_t(compasso) * 7919u) ^ (size_t(passo) * 104729u) ^ (size_t(nota) * 31u);
    const uint32_t h = uint32_t(semente * 2654435761u) >> 7;
    return int(h % uint32_t(2 * amplitude + 1)) - amplitude;
}

QList<Mensagem> mensagens(const Estilo &estilo, const Estilo::Trilha &trilha, int ticksCompasso, int ticksPasso, int fim)
{
    QList<Mensagem> lista;
    const uint8_t canal = uint8_t(trilha.canal);
    lista.append({0, 0, uint8_t(0xB0 | canal), 7, uint8_t(trilha.volume)});
    lista.append({0, 0, uint8_t(0xB0 | canal), 10, uint8_t(trilha.pan)});
    if (trilha.programa >= 0)
        lista.append({0, 0, uint8_t(0xC0 | canal), uint8_t(trilha.programa), 0});

    auto inicio = [&](const Estilo::Nota &n) {
        int t = n.compasso * ticksCompasso + n.passo * ticksPasso;
        if (n.passo % 2 == 1)
            t += ticksPasso * estilo.swing / 100;
        return t;
    };
    const bool bateria = trilha.canal == 9;
    QList<Estilo::Nota> notas = trilha.notas;
    std::stable_sort(notas.begin(), notas.end(), [&](const Estilo::Nota &a, const Estilo::Nota &b) {
        return inicio(a) < inicio(b);
    });
    for (int i = 0; i < notas.size(); ++i) {
        const Estilo::Nota &n = notas[i];
        const int t = inicio(n);
        int fimNota;
        if (bateria) {
            // A drum sounds until just before its next stroke, half a beat at most,
            // so the kit shows every stroke and releases it in time.
            int proxima = fim;
            for (int j = i + 1; j < notas.size(); ++j) {
                if (notas[j].nota == n.nota && inicio(notas[j]) > t) {
                    proxima = inicio(notas[j]);
                    break;
                }
            }
            fimNota = std::min(proxima - 6, t + GravadorEstilo::resolucao / 2);
            fimNota = std::max(fimNota, t + 12);
        } else {
            fimNota = t + n.duracao * ticksPasso - 10;
        }
        fimNota = std::min(fimNota, fim);
        const int v = std::clamp(n.velocidade + variacao(estilo.nome, n.compasso, n.passo, n.nota, estilo.humanizar), 1, 127);
        lista.append({t, 2, uint8_t(0x90 | canal), uint8_t(n.nota), uint8_t(v)});
        lista.append({fimNota, 1, uint8_t(0x80 | canal), uint8_t(n.nota), 0});
    }
    std::stable_sort(lista.begin(), lista.end(), [](const Mensagem &a, const Mensagem &b) {
        return a.tick != b.tick ? a.tick < b.tick : a.ordem < b.ordem;
    });
    return lista;
}

void preencher(TSonoMidiTrack &faixa, const QList<Mensagem> &lista)
{
    faixa.SetCapacity(uint32_t(lista.size()) + 1);
    int anterior = 0;
    for (int i = 0; i < lista.size(); ++i) {
        MIDIEVENT *e = faixa.GetEvent(uint32_t(i));
        e->time = uint32_t(lista[i].tick - anterior);
        e->status = lista[i].status;
        e->data1 = lista[i].dado1;
        e->data2 = lista[i].dado2;
        e->data3 = 0;
        anterior = lista[i].tick;
    }
    faixa.SetNumEvents(uint32_t(lista.size()));
}

}

bool GravadorEstilo::gravar(TSonoMidi &sonoMidi, const Estilo &estilo, const QString &arquivo, QString &erro)
{
    const int ticksCompasso = estilo.numerador * resolucao * 4 / estilo.denominador;
    if (ticksCompasso % estilo.passos != 0) {
        erro = arquivo + QStringLiteral(": the grid does not divide the bar into whole ticks");
        return false;
    }
    const int ticksPasso = ticksCompasso / estilo.passos;
    const int fim = estilo.compassos * ticksCompasso;

    try {
        TSonoMidiScore partitura(int(estilo.trilhas.size()) + 1);
        for (int i = 0; i < estilo.trilhas.size(); ++i) {
            QList<Mensagem> lista = mensagens(estilo, estilo.trilhas[i], ticksCompasso, ticksPasso, fim);
            if (i == 0) {
                // The song lasts to the end of its last bar, even when that bar ends in a rest.
                lista.append({fim, 3, uint8_t(0xB0 | estilo.trilhas[i].canal), 11, 127});
            }
            preencher(*partitura.GetTrack(i + 1), lista);
        }

        TSonoMidiSMF arquivoMidi;
        arquivoMidi.SonoMidi = &sonoMidi;
        if (!arquivoMidi.Open(arquivo, 'w', 1)) {
            erro = arquivo + QStringLiteral(": the driver library cannot create the file");
            return false;
        }
        arquivoMidi.SetScore(&partitura);
        sonoMidi.SetSMFResolution(arquivoMidi.GetHandle(), uint16_t(resolucao));

        TSonoMidiTrack *maestro = partitura.GetTrack(0);
        // MIDI texts are in the code page the player reads them with.
        const QByteArray titulo = Windows1252::codificar(estilo.nome);
        const uint32_t microssegundos = uint32_t(60000000 / estilo.andamento);
        const uint8_t andamento[3] = {uint8_t(microssegundos >> 16), uint8_t(microssegundos >> 8), uint8_t(microssegundos)};
        int expoente = 0;
        while ((1 << expoente) < estilo.denominador)
            ++expoente;
        // Clocks per metronome click: a quarter note, or a dotted quarter in compound time.
        const bool composto = estilo.denominador == 8 && estilo.numerador % 3 == 0;
        const uint8_t formula[4] = {uint8_t(estilo.numerador), uint8_t(expoente), uint8_t(composto ? 36 : 24), 8};
        bool ok = arquivoMidi.WriteMetaEvent(maestro, 3, titulo.constData(), 0)
                  && arquivoMidi.WriteMetaEvent(maestro, 0x58, formula, 0)
                  && arquivoMidi.WriteMetaEvent(maestro, 0x51, andamento, 0)
                  && arquivoMidi.WriteTrack(maestro);
        for (int i = 0; ok && i < estilo.trilhas.size(); ++i) {
            TSonoMidiTrack *faixa = partitura.GetTrack(i + 1);
            const QByteArray nome = Windows1252::codificar(estilo.trilhas[i].nome);
            ok = arquivoMidi.WriteMetaEvent(faixa, 3, nome.constData(), 0) && arquivoMidi.WriteTrack(faixa);
        }
        arquivoMidi.Close();
        if (!ok) {
            erro = arquivo + QStringLiteral(": the driver library did not take every track");
            return false;
        }
    } catch (const ESonoMidiException &e) {
        erro = arquivo + QStringLiteral(": ") + e.Message();
        return false;
    }
    return true;
}
