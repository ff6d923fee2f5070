#include "AmbienteSnMidi.h"

#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <ostream>

AmbienteSnMidi::AmbienteSnMidi()
{
    if (qEnvironmentVariableIsEmpty("SNMIDI32_AUDIO"))
        qputenv("SNMIDI32_AUDIO", "null");
    qputenv("SNMIDI32_CAPTURE", QFile::encodeName(pasta.arquivo(QStringLiteral("captura.txt"))));
    qputenv("SNMIDI32_CAPTURE_DEVICES", "Captura,!Recusa");
}

QString AmbienteSnMidi::biblioteca() const
{
    return pasta.arquivo(QStringLiteral("libSnMidi32.so"));
}

QList<AmbienteSnMidi::Mensagem> AmbienteSnMidi::capturadas() const
{
    QList<Mensagem> mensagens;
    QFile arquivo(pasta.arquivo(QStringLiteral("captura.txt")));
    if (!arquivo.open(QIODevice::ReadOnly))
        return mensagens;
    while (!arquivo.atEnd()) {
        const QList<QByteArray> campos = arquivo.readLine().simplified().split(' ');
        if (campos.size() != 5)
            continue;
        mensagens.append({campos[0].toLongLong(), campos[1].toInt(), campos[2].toInt(), campos[3].toInt(), campos[4].toInt()});
    }
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
    QDeadlineTimer prazo(Milissegundos);
    while (!Condicao()) {
        if (prazo.hasExpired())
            return Condicao();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
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
