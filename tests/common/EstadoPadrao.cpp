#include "EstadoPadrao.h"

#include "engine/AcessoGui.h"
#include "engine/Sequenciador.h"
#include "settings/ArquivoConfiguracao.h"
#include "song/GerenciadorMusica.h"

void EstadoPadrao::restaurar()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    sequenciador.parar();
    sequenciador.limparLoop();
    sequenciador.setPlayAlong(false);
    sequenciador.setTrilhaExibida(-1);
    sequenciador.setFatorVelocidade(1.0);
    sequenciador.setAndamento(120);
    sequenciador.getMetronomo() = Metronomo();
    sequenciador.getTreinador() = TreinadorAndamento();
    AcessoGui::instancia().registrar(nullptr);
    GerenciadorMusica::instancia().setMusica(nullptr);
    GerenciadorMusica::instancia().setTotalTicks(0);
    GerenciadorMusica::instancia().setTotalTempos(1);
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    for (int i = 0; i < 16; ++i)
        configuracao.setCanalAtivo(true, i);
    configuracao.setPratica({});
}
