#include "common/PastaTemporaria.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"

#include <gtest/gtest.h>

namespace {

// This suite's application folder has no driver library, so every binding fails.
TEST(SemBibliotecaTest, TheEngineStaysUsableWithoutTheDriverLibrary)
{
    PastaTemporaria pasta{QStringList{}};
    for (int tentativa = 0; tentativa < 2; ++tentativa) {  // no instance is kept: each call tries again
        try {
            SaidaMIDI::instancia();
            ADD_FAILURE() << "the facade needs the library";
        } catch (const ESonoMidiException &erro) {
            EXPECT_EQ(erro.Message(), QStringLiteral("Load of SnMidi32.dll failed"));
        }
    }

    Sequenciador &sequenciador = Sequenciador::instancia();
    EXPECT_EQ(sequenciador.getAndamento(), 120);
    EXPECT_EQ(sequenciador.getPosicao(), 0);
    EXPECT_EQ(sequenciador.getInicioLoop(), -1);
    EXPECT_EQ(sequenciador.getFimLoop(), -1);
    EXPECT_FALSE(sequenciador.abrir());
    sequenciador.setAndamento(150);
    EXPECT_EQ(sequenciador.getAndamento(), 150);
    try {
        sequenciador.tocar();
        ADD_FAILURE() << "a clock that cannot open must be reported";
    } catch (const ESonoMidiException &erro) {
        EXPECT_EQ(erro.Message(), QStringLiteral("sync not open"));
    }
    EXPECT_FALSE(sequenciador.estaTocando());
    sequenciador.pausar();
    sequenciador.parar();
    sequenciador.fechar();

    // A late beat with a song current sends nothing (there is no device) and keeps the position.
    auto musica = std::make_unique<Musica>();
    auto trilha = std::make_unique<Trilha>();
    trilha->adicionarEvento(std::make_unique<EventoNoteOn>(0, 3, 60, 100));
    musica->adicionarTrilha(std::move(trilha));
    GerenciadorMusica::instancia().setMusica(std::move(musica));
    sequenciador.processarTick();
    EXPECT_EQ(sequenciador.getPosicao(), 0);
    GerenciadorMusica::instancia().setMusica(nullptr);
}

}  // namespace
