#include "sonomidi/TSonoMidiScore.h"

#include "AmbienteSnMidi.h"
#include "EspiaoSnMidi.h"
#include "sonomidi/TSonoMidiOut.h"
#include "sonomidi/TSonoMidiTrack.h"
#include "sonomidi/TrackMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {
// Appends records given as (delta, data1) with status 0x90.
void preencher(TSonoMidiTrack &trilha, const std::vector<std::pair<uint32_t, uint8_t>> &registros)
{
    uint32_t n = trilha.GetNumEvents();
    for (const auto &[delta, data1] : registros)
        *trilha.GetEvent(n++) = MIDIEVENT{delta, 0x90, data1, 64, 0};
    trilha.SetNumEvents(n);
}

std::vector<std::pair<uint32_t, uint8_t>> mesclar(TSonoMidiScore &partitura)
{
    std::vector<std::pair<uint32_t, uint8_t>> saida;
    const MIDIEVENT *buffer = partitura.MergeBuffer();
    for (uint32_t i = 0; i < partitura.GetBufferCount(); ++i)
        saida.emplace_back(buffer[i].time, buffer[i].data1);
    return saida;
}

using Pares = std::vector<std::pair<uint32_t, uint8_t>>;
}

TEST(TSonoMidiTrackTest, TimesCopiesAndTheBufferBounds)
{
    TSonoMidiTrack trilha;
    EXPECT_EQ(trilha.GetCapacity(), 8192u);
    EXPECT_EQ(trilha.GetNumEvents(), 0u);
    EXPECT_NE(trilha.GetEvent(8191), nullptr);
    EXPECT_EQ(trilha.GetEvent(8192), nullptr);
    EXPECT_EQ(trilha.GetEvent(8191)->time, 0u);

    preencher(trilha, {{10, 1}, {0, 2}, {5, 3}});
    EXPECT_EQ(trilha.GetEventTime(0), 10u);
    EXPECT_EQ(trilha.GetEventTime(1), 10u);
    EXPECT_EQ(trilha.GetEventTime(2), 15u);
    EXPECT_EQ(trilha.GetEventTime(3), 0u);

    uint32_t n = 512;
    EXPECT_EQ(trilha.CopyEvents(3, n), nullptr);
    EXPECT_EQ(n, 0u);
    n = 512;
    auto copia = trilha.CopyEvents(1, n);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(copia[0].time, 10u);
    EXPECT_EQ(copia[1].time, 15u);
    EXPECT_EQ(copia[1].data1, 3);
    EXPECT_EQ(trilha.GetEvent(2)->time, 5u);  // the track keeps its deltas
    n = 3;
    EXPECT_EQ(trilha.CopyEvents(0, n)[2].time, 15u);

    // A count above the capacity is clamped, so reads stay inside the buffer.
    trilha.SetNumEvents(1'000'000);
    EXPECT_EQ(trilha.GetNumEvents(), 8192u);
    EXPECT_EQ(trilha.GetEventTime(900'000), 0u);
    EXPECT_EQ(trilha.GetEventTime(8191), 15u);
    n = 512;
    EXPECT_EQ(trilha.CopyEvents(8190, n)[1].time, 15u);
    EXPECT_EQ(n, 2u);

    trilha.SetNumEvents(3);
    trilha.SetCapacity(20000);
    EXPECT_EQ(trilha.GetCapacity(), 20000u);
    EXPECT_EQ(trilha.GetEventTime(2), 15u);
    EXPECT_EQ(trilha.GetEvent(19999)->status, 0);
    trilha.SetCapacity(100);
    EXPECT_EQ(trilha.GetCapacity(), 20000u);
    trilha.Clear();
    EXPECT_EQ(trilha.GetNumEvents(), 0u);
    EXPECT_EQ(trilha.GetCapacity(), 20000u);
}

TEST(TSonoMidiScoreTest, EntriesLookupAndTheListsIndexError)
{
    TSonoMidiScore vazia(0);
    EXPECT_EQ(vazia.GetNumTracks(), 0);
    TSonoMidiScore partitura(3);
    ASSERT_EQ(partitura.GetNumTracks(), 3);
    EXPECT_NE(partitura.GetTrack(0), partitura.GetTrack(2));
    EXPECT_EQ(partitura.IndexOf(partitura.GetTrack(2)), 2);
    TSonoMidiTrack estranha;
    EXPECT_EQ(partitura.IndexOf(&estranha), -1);
    EXPECT_EQ(partitura.IndexOf(nullptr), -1);
    EXPECT_THROW(partitura.GetTrack(3), std::out_of_range);
    EXPECT_THROW(partitura.GetTrack(-1), std::out_of_range);
    EXPECT_EQ(partitura.GetBuffer(), nullptr);
    const TrackMerge &cursor = partitura.GetMerge(1);
    EXPECT_EQ(cursor.ChunkCount, 512u);
    EXPECT_EQ(cursor.Position, 0u);
    EXPECT_FALSE(cursor.InSysEx);
    partitura.Clear();
    EXPECT_EQ(partitura.GetNumTracks(), 0);
}

TEST(TSonoMidiScoreTest, MergeOrdersByTimeTiesGoToTheLowerIndexAndSysExRunsStayWhole)
{
    TSonoMidiScore duas(2);
    preencher(*duas.GetTrack(0), {{0, 'a'}, {10, 'A'}});
    preencher(*duas.GetTrack(1), {{0, 'b'}, {5, 'B'}});
    EXPECT_EQ(mesclar(duas), (Pares{{0, 'a'}, {0, 'b'}, {5, 'B'}, {5, 'A'}}));
    EXPECT_EQ(duas.GetLastTime(), 10u);
    EXPECT_TRUE(mesclar(duas).empty());
    EXPECT_EQ(duas.GetLastTime(), 10u);

    TSonoMidiScore exclusiva(2);
    preencher(*exclusiva.GetTrack(0), {{10, 0xF0}, {10, 1}, {10, 2}, {10, 0xF7}});
    preencher(*exclusiva.GetTrack(1), {{15, 3}, {10, 4}});
    EXPECT_EQ(mesclar(exclusiva), (Pares{{10, 0xF0}, {10, 1}, {10, 2}, {10, 0xF7}, {0, 3}, {10, 4}}));

    // A run still open at the end of one merge keeps the next merge to itself,
    // until its track has no records left.
    TSonoMidiScore aberta(2);
    std::vector<std::pair<uint32_t, uint8_t>> longa{{1, 0xF0}};
    for (int i = 0; i < 600; ++i)
        longa.emplace_back(1, 1);
    preencher(*aberta.GetTrack(0), longa);
    preencher(*aberta.GetTrack(1), {{2, 9}});
    const Pares primeira = mesclar(aberta);
    ASSERT_EQ(primeira.size(), 512u);
    EXPECT_TRUE(std::none_of(primeira.begin(), primeira.end(), [](const auto &par) { return par.second == 9; }));
    EXPECT_TRUE(aberta.GetMerge(0).InSysEx);
    const Pares segunda = mesclar(aberta);
    ASSERT_EQ(segunda.size(), 89u);
    EXPECT_TRUE(std::none_of(segunda.begin(), segunda.end(), [](const auto &par) { return par.second == 9; }));
    EXPECT_EQ(segunda.front(), (std::pair<uint32_t, uint8_t>{1, 1}));  // measured from the last merge
    const Pares terceira = mesclar(aberta);
    EXPECT_EQ(terceira, (Pares{{0, 9}}));  // time 2 lies before LastTime 601
}

TEST(TSonoMidiScoreTest, MergesOverManyBuffersKeepEveryRecordInStableTimeOrder)
{
    std::mt19937 sorteio(4);
    for (int rodada = 0; rodada < 20; ++rodada) {
        const int trilhas = 1 + static_cast<int>(sorteio() % 5);
        TSonoMidiScore partitura(trilhas);
        // (absolute time, track, index in track) of every record
        std::vector<std::tuple<uint32_t, int, uint32_t>> esperados;
        for (int t = 0; t < trilhas; ++t) {
            TSonoMidiTrack &trilha = *partitura.GetTrack(t);
            const uint32_t n = sorteio() % 1500;
            uint32_t tempo = 0;
            for (uint32_t i = 0; i < n; ++i) {
                const uint32_t delta = sorteio() % 4 == 0 ? 0 : sorteio() % 30;
                tempo += delta;
                *trilha.GetEvent(i) = MIDIEVENT{delta, static_cast<uint8_t>(0x90 + t), static_cast<uint8_t>(i & 0x7F),
                                                static_cast<uint8_t>(i >> 7), 0};
                esperados.emplace_back(tempo, t, i);
            }
            trilha.SetNumEvents(n);
        }
        // Equal times: lower track first, then file order.
        std::sort(esperados.begin(), esperados.end());

        std::vector<std::tuple<uint32_t, int, uint32_t>> obtidos;
        uint32_t tempo = 0;
        for (;;) {
            const MIDIEVENT *buffer = partitura.MergeBuffer();
            const uint32_t n = partitura.GetBufferCount();
            ASSERT_LE(n, 512u);
            if (n == 0)
                break;
            for (uint32_t i = 0; i < n; ++i) {
                tempo += buffer[i].time;
                obtidos.emplace_back(tempo, buffer[i].status - 0x90, buffer[i].data1 | (buffer[i].data2 << 7));
            }
        }
        ASSERT_EQ(obtidos, esperados) << "round " << rodada;
    }
}

TEST(TSonoMidiScoreTest, FeedPortPutsTheMergeIntoThePortOnBufferReady)
{
    AmbienteSnMidi ambiente;
    TSonoMidi ligacao;
    const int captura = AmbienteSnMidi::dispositivo(ligacao, QStringLiteral("Captura"));
    TSonoMidiOut porta;
    porta.SonoMidi = &ligacao;
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0));
    EspiaoSnMidi espiao(ligacao);

    TSonoMidiScore vazia(0);
    vazia.FeedPort(&porta);
    EXPECT_EQ(vazia.GetBuffer(), nullptr);
    EXPECT_TRUE(espiao.chamadas().isEmpty());

    // Three tracks, 750 records in all, so the feed runs over two merges.
    TSonoMidiScore partitura(3);
    std::vector<std::tuple<uint32_t, int, int>> esperados;
    for (int t = 0; t < 3; ++t) {
        std::vector<std::pair<uint32_t, uint8_t>> registros;
        uint32_t tempo = 0;
        for (int i = 0; i < 100 + 150 * t; ++i) {
            const uint32_t delta = static_cast<uint32_t>(1 + (i * 7 + t * 3) % 5);
            tempo += delta;
            registros.emplace_back(delta, static_cast<uint8_t>(i % 128));
            esperados.emplace_back(tempo, t, i % 128);
        }
        preencher(*partitura.GetTrack(t), registros);
        for (uint32_t i = 0; i < partitura.GetTrack(t)->GetNumEvents(); ++i)
            partitura.GetTrack(t)->GetEvent(i)->status = static_cast<uint8_t>(0x90 + t);
    }
    std::stable_sort(esperados.begin(), esperados.end(), [](const auto &a, const auto &b) {
        return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) < std::get<0>(b) : std::get<1>(a) < std::get<1>(b);
    });

    // A port that refuses the first record leaves the score where it was.
    espiao.fixar(QStringLiteral("PutMidiOut"), 1);
    partitura.FeedPort(&porta);
    EXPECT_EQ(partitura.GetBufferIndex(), 0u);
    EXPECT_EQ(partitura.GetBufferCount(), 512u);
    partitura.FeedPort(&porta);
    EXPECT_EQ(partitura.GetBufferIndex(), 0u);
    EXPECT_EQ(espiao.chamadas("PutMidiOut").size(), 2);
    EXPECT_TRUE(ambiente.capturadas(captura).isEmpty());
    espiao.soltar(QStringLiteral("PutMidiOut"));

    int prontos = 0;
    qsizetype capturadasNoEvento = -1;
    porta.OutBufferReady = [&](QObject *) {
        ++prontos;
        capturadasNoEvento = ambiente.capturadas(captura).size();
    };
    porta.SetScore(&partitura);
    porta.GetWindow()->post(porta.GetWindow()->context, SNMIDI_MSG_OUT_BUFFER_READY, 0, 0);
    ASSERT_TRUE(AmbienteSnMidi::esperar([&] { return prontos == 1; }));
    EXPECT_EQ(capturadasNoEvento, 750);  // the refill runs before the event
    const QList<AmbienteSnMidi::Mensagem> saida = ambiente.capturadas(captura);
    ASSERT_EQ(saida.size(), 750);
    for (int i = 0; i < 750; ++i) {
        ASSERT_EQ(saida[i].status, 0x90 + std::get<1>(esperados[i])) << i;
        ASSERT_EQ(saida[i].data1, std::get<2>(esperados[i])) << i;
    }
    EXPECT_EQ(partitura.GetBufferCount(), 0u);
    EXPECT_EQ(partitura.GetMerge(2).Position, 400u);
    porta.SetScore(nullptr);

    // A closed port takes everything: the whole score drains at once.
    TSonoMidiOut fechada;
    TSonoMidiScore outra(2);
    preencher(*outra.GetTrack(0), Pares(1000, {1, 1}));
    preencher(*outra.GetTrack(1), Pares(300, {2, 2}));
    outra.FeedPort(&fechada);
    EXPECT_EQ(outra.GetMerge(0).Position, 1000u);
    EXPECT_EQ(outra.GetMerge(1).Position, 300u);
    EXPECT_EQ(outra.GetBufferCount(), 0u);
}
