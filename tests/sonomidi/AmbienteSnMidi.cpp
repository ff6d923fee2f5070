#include "AmbienteSnMidi.h"

#include "common/CapturaMidi.h"
#include "common/Espera.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"


#include <ostream>

AmbienteSnMidi::AmbienteSnMidi()
{
    CapturaMidi::configurar(pasta.arquivo(QStringLiteral("captura.txt")), "Captura,!Recusa");
}

QString AmbienteSnMidi::biblioteca() const
{
    return pasta.arquivo(QStringLiteral("libSnMidi32.so"));
}

QList<AmbienteSnMidi::Mensagem> AmbienteSnMidi::capturadas() const
{
    QList<Mensagem> mensagens;
    for (const CapturaMidi::Linha &linha : CapturaMidi::ler(pasta.arquivo(QStringLiteral("captura.txt"))))
        mensagens.append({linha.tempo, linha.dispositivo, linha.status, linha.dado1, linha.dado2});
    return mensagens;
}

QList<AmbienteSnMidi::Mensagem> AmbienteSnMidi::capturadas(int dispositivo) const
{
    QList<Mensagem> doDispositivo;
    for (const Mensagem &mensagem : capturadas())
        if (mensagem.dispositivo == dispositivo)
            doDispositivo.append(mensagem);
    return doDispositivo;
}

int AmbienteSnMidi::dispositivo(TSonoMidi &ligacao, const QString &descricao)
{
    const uint32_t total = ligacao.GetNumOutDevices();
    for (uint32_t i = 0; i < total; ++i) {
        char nome[32] = {};
        ligacao.GetMidiOutDescription(static_cast<uint16_t>(i), nome);
        nome[31] = '\0';
        if (QString::fromUtf8(nome) == descricao)
            return static_cast<int>(i);
    }
    return -1;
}

void PrintTo(const AmbienteSnMidi::Mensagem &mensagem, std::ostream *saida)
{
    *saida << "{dev " << mensagem.dispositivo << ": " << mensagem.status << ' ' << mensagem.data1 << ' ' << mensagem.data2 << '}';
}

bool AmbienteSnMidi::esperar(const std::function<bool()> &Condicao, int Milissegundos)
{
    return Espera::ate(Condicao, Milissegundos, 10);
}

QString AmbienteSnMidi::erroDe(const std::function<void()> &Acao)
{
    try {
        Acao();
    } catch (const ESonoMidiException &erro) {
        return erro.Message();
    }
    return QString();
}
