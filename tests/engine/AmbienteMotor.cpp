#include "AmbienteMotor.h"

#include "common/CapturaMidi.h"
#include "common/Espera.h"
#include "common/EstadoPadrao.h"
#include "common/PastaTemporaria.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "player/Instrumento.h"
#include "settings/ArquivoConfiguracao.h"

#include <QCoreApplication>

#include <ostream>

namespace {

PastaTemporaria &pastaSuite()
{
    // The library reads its environment once, when the first binding loads it.
    static PastaTemporaria *pasta = [] {
        auto *nova = new PastaTemporaria;
        CapturaMidi::configurar(nova->arquivo(QStringLiteral("captura.txt")), "Captura,!Recusa");
        return nova;
    }();
    return *pasta;
}

int procurarDispositivo(const QString &nome)
{
    const QStringList nomes = SaidaMIDI::instancia().listarDispositivos();
    return static_cast<int>(nomes.lastIndexOf(nome));
}

QList<std::pair<qint64, AmbienteMotor::Mensagem>> lerCaptura(qint64 inicio)
{
    QList<std::pair<qint64, AmbienteMotor::Mensagem>> lidas;
    for (const CapturaMidi::Linha &linha : CapturaMidi::ler(AmbienteMotor::arquivo(QStringLiteral("captura.txt")), inicio))
        lidas.append({linha.tempo, {linha.dispositivo, linha.status, linha.dado1, linha.dado2}});
    return lidas;
}

// Before any fixture can reach a singleton (and so load the library).
const bool preparadaNoInicio = (pastaSuite(), true);

}  // namespace

QString AmbienteMotor::pasta()
{
    return pastaSuite().caminho();
}

QString AmbienteMotor::arquivo(const QString &nome)
{
    return pastaSuite().arquivo(nome);
}

int AmbienteMotor::dispositivoCaptura()
{
    pastaSuite();
    static const int indice = procurarDispositivo(QStringLiteral("Captura"));
    return indice;
}

int AmbienteMotor::dispositivoRecusa()
{
    pastaSuite();
    static const int indice = procurarDispositivo(QStringLiteral("Recusa"));
    return indice;
}

void AmbienteMotor::preparar()
{
    pastaSuite();
    EstadoPadrao::restaurar();
    Sequenciador::instancia().abrir();
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.fecharArquivo();
    if (saida.getDispositivo() != dispositivoCaptura() || !saida.dispositivoAberto())
        saida.abrirDispositivo(dispositivoCaptura());
    saida.reiniciarControladores();  // no channel volume left from an earlier test's song
    saida.setVolumeGeral(100);
    ArquivoConfiguracao::instancia().setInstrumento(std::make_unique<Instrumento>());
    // Beats of an earlier test still queued run now, with the clock stopped.
    QCoreApplication::processEvents();
}

qint64 AmbienteMotor::marca()
{
    return CapturaMidi::marca(arquivo(QStringLiteral("captura.txt")));
}

QList<AmbienteMotor::Mensagem> AmbienteMotor::desde(qint64 inicio)
{
    QList<Mensagem> doDispositivo;
    for (const auto &[tempo, mensagem] : lerCaptura(inicio)) {
        if (mensagem.dispositivo == dispositivoCaptura())
            doDispositivo.append(mensagem);
    }
    return doDispositivo;
}

std::vector<std::pair<qint64, AmbienteMotor::Mensagem>> AmbienteMotor::desdeComTempo(qint64 inicio)
{
    const auto lidas = lerCaptura(inicio);
    return {lidas.begin(), lidas.end()};
}

bool AmbienteMotor::esperar(const std::function<bool()> &condicao, int milissegundos)
{
    return Espera::ate(condicao, milissegundos);
}

void PrintTo(const AmbienteMotor::Mensagem &mensagem, std::ostream *saida)
{
    *saida << "{dev " << mensagem.dispositivo << ", 0x" << std::hex << mensagem.status << std::dec << ", "
           << mensagem.dado1 << ", " << mensagem.dado2 << "}";
}

void PrintTo(const QString &texto, std::ostream *saida)
{
    *saida << '"' << texto.toStdString() << '"';
}

std::vector<RegistroTeste> emTicks(const std::vector<std::tuple<uint32_t, uint8_t, uint8_t, uint8_t>> &absolutos)
{
    std::vector<RegistroTeste> registros;
    uint32_t anterior = 0;
    for (const auto &[tick, status, dado1, dado2] : absolutos) {
        registros.push_back({tick - anterior, status, dado1, dado2});
        anterior = tick;
    }
    return registros;
}

bool gravarMidi(const QString &caminho, uint16_t resolucao, const std::vector<TrilhaTeste> &trilhas)
{
    // The writer's binding loads the library: the suite's environment comes first.
    pastaSuite();
    return GravadorMidi::gravar(caminho, resolucao, trilhas);
}
