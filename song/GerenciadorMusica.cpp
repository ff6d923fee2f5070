#include "song/GerenciadorMusica.h"

#include "engine/SaidaMIDI.h"

GerenciadorMusica &GerenciadorMusica::instancia()
{
    // Never destroyed: the tick handler may run until the process ends.
    static GerenciadorMusica *unica = new GerenciadorMusica;
    return *unica;
}

void GerenciadorMusica::setMusica(std::unique_ptr<Musica> nova)
{
    musica = std::move(nova);
}

void GerenciadorMusica::silenciarTrilha(int32_t indice)
{
    if (!musica)
        return;
    SaidaMIDI &saida = SaidaMIDI::instancia();
    // With a single track every channel lives in it: silence the whole device.
    if (musica->getNumTrilhas() < 2) {
        saida.reiniciarDispositivo();
        saida.reiniciarControladores();
        return;
    }
    const int32_t canal = musica->getTrilha(indice)->getCanal();
    if (canal < 0)
        return;  // no note-on, so nothing of this track can be sounding
    for (int32_t nota = 0; nota < 128; ++nota)
        saida.notaDesligada(canal, nota);
}
