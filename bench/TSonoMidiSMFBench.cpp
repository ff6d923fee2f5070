// Reading a Standard MIDI File of 16 tracks and 1,000,000 events into a score through
// TSonoMidiSMF::Read, as the song import does, against the driver library alone in the same
// process: its ReadSMF calls storing every track in an array of the caller's that realloc
// doubles as it fills (and, for reference, the library's pace when it keeps nothing). Reports events per second (median and p99 of the runs) and the peak resident
// memory that each read adds, and fails when the toolkit costs 20 % or more.
#include "platform/PastaAplicacao.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiTrack.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr uint32_t Trilhas = 16;
constexpr uint32_t PorTrilha = 1000000 / Trilhas;

long long agoraNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long campoStatusKb(const char *campo)
{
    std::ifstream status("/proc/self/status");
    std::string linha;
    const std::string prefixo = std::string(campo) + ":";
    while (std::getline(status, linha))
        if (linha.rfind(prefixo, 0) == 0)
            return std::atoll(linha.c_str() + prefixo.size());
    return 0;
}

// Peak resident memory of what Acao adds, in kB, after resetting the kernel's high-water mark.
// Cold: the memory freed by the previous run goes back to the kernel first, so that neither
// side reuses pages the other already faulted in.
template <typename F>
long long picoAcrescido(bool Frio, F &&Acao)
{
    if (Frio)
        malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long long antes = campoStatusKb("VmRSS");
    Acao();
    return campoStatusKb("VmHWM") - antes;
}

double quantil(std::vector<double> valores, double fracao)
{
    std::sort(valores.begin(), valores.end());
    const size_t i = std::min(valores.size() - 1, static_cast<size_t>(fracao * static_cast<double>(valores.size() - 1) + 0.5));
    return valores[i];
}

void escrever(TSonoMidi &ligacao, const QString &caminho)
{
    TSonoMidiSMF smf;
    smf.SonoMidi = &ligacao;
    if (!smf.Open(caminho, 'w', 1))
        std::exit(1);
    TSonoMidiScore partitura(Trilhas);
    smf.SetScore(&partitura);
    uint32_t semente = 1;
    for (int t = 0; t < static_cast<int>(Trilhas); ++t) {
        TSonoMidiTrack *trilha = partitura.GetTrack(t);
        trilha->SetCapacity(PorTrilha);
        for (uint32_t i = 0; i < PorTrilha; ++i) {
            semente = semente * 1103515245u + 12345u;
            // Drum-like: note-ons and note-offs, many at the same tick.
            *trilha->GetEvent(i) = {(semente >> 16) % 3 == 0 ? (semente >> 20) % 60 : 0,
                                    static_cast<uint8_t>((i & 1 ? 0x80 : 0x90) | (t % 16)),
                                    static_cast<uint8_t>(35 + (semente >> 8) % 25), static_cast<uint8_t>(i & 1 ? 0 : 100), 0};
        }
        trilha->SetNumEvents(PorTrilha);
        smf.WriteTrack(trilha);
    }
    smf.Close();
}

struct Livre {
    void operator()(MIDIEVENT *registros) const { std::free(registros); }
};
using Registros = std::unique_ptr<MIDIEVENT[], Livre>;

// The library alone: every track kept in an array of the caller's that realloc doubles,
// with no zero fill, the leanest way to keep the records.
uint64_t lerSoBiblioteca(TSonoMidi &ligacao, const QByteArray &caminho, std::vector<Registros> &trilhas)
{
    uint32_t formato = 1;
    uint32_t quantas = 0;
    const SNHANDLE h = ligacao.OpenSMF(caminho.constData(), &formato, 'r', &quantas);
    uint64_t eventos = 0;
    trilhas.clear();
    for (uint32_t t = 0; t < quantas; ++t) {
        size_t capacidade = TSonoMidiTrack::InitialCapacity;
        auto *registros = static_cast<MIDIEVENT *>(std::malloc(capacidade * sizeof(MIDIEVENT)));
        size_t n = 0;
        for (;;) {
            if (capacidade - n < TSonoMidiSMF::ReadChunk) {
                capacidade *= 2;
                registros = static_cast<MIDIEVENT *>(std::realloc(registros, capacidade * sizeof(MIDIEVENT)));
            }
            const uint32_t lidos = ligacao.ReadSMF(h, t, registros + n, TSonoMidiSMF::ReadChunk);
            if (lidos == 0)
                break;
            n += lidos;
        }
        trilhas.emplace_back(registros);
        eventos += n;
    }
    ligacao.CloseSMF(h);
    return eventos;
}

// The library's own pace: every track read through one reused chunk, nothing kept.
uint64_t lerSoAnalise(TSonoMidi &ligacao, const QByteArray &caminho)
{
    static MIDIEVENT pedaco[TSonoMidiSMF::ReadChunk];
    uint32_t formato = 1;
    uint32_t quantas = 0;
    const SNHANDLE h = ligacao.OpenSMF(caminho.constData(), &formato, 'r', &quantas);
    uint64_t eventos = 0;
    for (uint32_t t = 0; t < quantas; ++t)
        while (const uint32_t lidos = ligacao.ReadSMF(h, t, pedaco, TSonoMidiSMF::ReadChunk))
            eventos += lidos;
    ligacao.CloseSMF(h);
    return eventos;
}

uint64_t lerPeloToolkit(TSonoMidi &ligacao, const QString &caminho, std::unique_ptr<TSonoMidiScore> &partitura)
{
    TSonoMidiSMF smf;
    smf.SonoMidi = &ligacao;
    smf.Open(caminho, 'r', 1);
    partitura = std::make_unique<TSonoMidiScore>(static_cast<int>(smf.GetNumTracks()));
    smf.SetScore(partitura.get());
    smf.Read(nullptr);
    smf.Close();
    uint64_t eventos = 0;
    for (int t = 0; t < partitura->GetNumTracks(); ++t)
        eventos += partitura->GetTrack(t)->GetNumEvents();
    return eventos;
}
}

int main(int argc, char **argv)
{
    qputenv("SNMIDI32_AUDIO", "null");
    QCoreApplication app(argc, argv);
    const int repeticoes = argc > 1 ? std::atoi(argv[1]) : 20;
    PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
    TSonoMidi ligacao;
    QTemporaryDir pasta;
    const QString caminho = pasta.filePath(QStringLiteral("milhao.mid"));
    escrever(ligacao, caminho);
    const QByteArray nome = QFile::encodeName(caminho);

    // Cold runs decide; warm ones (freed memory kept by the allocator) are shown beside them.
    double custoFrio = 0;
    uint64_t eventosBiblioteca = 0, eventosToolkit = 0;
    for (const bool frio : {true, false}) {
        std::vector<double> taxaBiblioteca, taxaToolkit, taxaAnalise;
        std::vector<double> picoBiblioteca, picoToolkit;
        // Interleaved, so drift in the machine's load hits both alike; the first two warm up.
        for (int r = 0; r < repeticoes + 2; ++r) {
            const auto medirBiblioteca = [&] {
                std::vector<Registros> trilhas;
                long long ns = 0;
                const long long pico = picoAcrescido(frio, [&] {
                    const long long inicio = agoraNs();
                    eventosBiblioteca = lerSoBiblioteca(ligacao, nome, trilhas);
                    ns = agoraNs() - inicio;
                });
                if (r >= 2) {
                    taxaBiblioteca.push_back(static_cast<double>(eventosBiblioteca) / (static_cast<double>(ns) / 1e9));
                    picoBiblioteca.push_back(static_cast<double>(pico));
                }
            };
            const auto medirAnalise = [&] {
                const long long inicio = agoraNs();
                const uint64_t eventos = lerSoAnalise(ligacao, nome);
                if (r >= 2)
                    taxaAnalise.push_back(static_cast<double>(eventos) / (static_cast<double>(agoraNs() - inicio) / 1e9));
            };
            const auto medirToolkit = [&] {
                std::unique_ptr<TSonoMidiScore> partitura;
                long long ns = 0;
                const long long pico = picoAcrescido(frio, [&] {
                    const long long inicio = agoraNs();
                    eventosToolkit = lerPeloToolkit(ligacao, caminho, partitura);
                    ns = agoraNs() - inicio;
                });
                if (r >= 2) {
                    taxaToolkit.push_back(static_cast<double>(eventosToolkit) / (static_cast<double>(ns) / 1e9));
                    picoToolkit.push_back(static_cast<double>(pico));
                }
            };
            // Who runs first alternates, so neither inherits the other's freed memory every time.
            if (r % 2 == 0) {
                medirBiblioteca();
                medirToolkit();
            } else {
                medirToolkit();
                medirBiblioteca();
            }
            medirAnalise();
        }

        const double medianaBiblioteca = quantil(taxaBiblioteca, 0.5);
        const double medianaToolkit = quantil(taxaToolkit, 0.5);
        const double custo = (medianaBiblioteca / medianaToolkit - 1.0) * 100.0;
        std::printf("SMF into a score, %s: %llu events in %u tracks, %d runs each\n", frio ? "cold" : "warm",
                    static_cast<unsigned long long>(eventosToolkit), Trilhas, repeticoes);
        std::printf("library, nothing kept: median %6.2f M events/s  p99 (slowest 1%%) %6.2f M events/s\n",
                    quantil(taxaAnalise, 0.5) / 1e6, quantil(taxaAnalise, 0.01) / 1e6);
        std::printf("library alone      : median %6.2f M events/s  p99 (slowest 1%%) %6.2f M events/s  peak +%6.1f MB\n",
                    medianaBiblioteca / 1e6, quantil(taxaBiblioteca, 0.01) / 1e6, quantil(picoBiblioteca, 0.5) / 1024.0);
        std::printf("TSonoMidiSMF::Read : median %6.2f M events/s  p99 (slowest 1%%) %6.2f M events/s  peak +%6.1f MB\n",
                    medianaToolkit / 1e6, quantil(taxaToolkit, 0.01) / 1e6, quantil(picoToolkit, 0.5) / 1024.0);
        std::printf("toolkit overhead   : %+.1f %%%s\n\n", custo, frio ? " (limit 20 %)" : "");
        if (frio)
            custoFrio = custo;
    }
    if (eventosToolkit != uint64_t(Trilhas) * PorTrilha || eventosBiblioteca != eventosToolkit)
        return 1;
    return custoFrio < 20.0 ? 0 : 2;
}
