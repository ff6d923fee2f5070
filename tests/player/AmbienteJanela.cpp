#include "AmbienteJanela.h"

#include "common/Espera.h"
#include "common/EstadoPadrao.h"
#include "common/PastaTemporaria.h"
#include "engine/SaidaMIDI.h"
#include "engine/Sequenciador.h"
#include "platform/CaixaMensagem.h"
#include "player/TFormPrincipal.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The language manager holds a dialog: it must go while the application object
// still exists, not among the static destructors after main.
class LimpezaFinal : public testing::Environment {
public:
    void TearDown() override { GerenciadorIdiomas::descartarInstancia(); }
};
const testing::Environment *const limpezaFinal = testing::AddGlobalTestEnvironment(new LimpezaFinal);

PastaTemporaria &pastaSuite()
{
    // The library reads its environment once, when the first binding loads it.
    static PastaTemporaria *pasta = [] {
        auto *nova = new PastaTemporaria({QStringLiteral("libSnMidi32.so"), QStringLiteral("English.idm"),
                                          QStringLiteral("English.dat"), QStringLiteral("Portugues.idm"),
                                          QStringLiteral("Portugues.dat")});
        CapturaMidi::configurar(nova->arquivo(QStringLiteral("captura.txt")), "Captura,Captura2,!Recusa");
        return nova;
    }();
    return *pasta;
}

}

QString AmbienteJanela::pasta()
{
    return pastaSuite().caminho();
}

QString AmbienteJanela::arquivo(const QString &nome)
{
    return pastaSuite().arquivo(nome);
}

int AmbienteJanela::dispositivo(const QString &nome)
{
    pastaSuite();
    return int(SaidaMIDI::instancia().listarDispositivos().lastIndexOf(nome));
}

void AmbienteJanela::preparar()
{
    pastaSuite();
    CaixaMensagem::gravar(true, true);
    CaixaMensagem::limparRegistros();
    GerenciadorIdiomas *idiomas = GerenciadorIdiomas::instancia();
    if (idiomas->getNomeIdioma() != QStringLiteral("English"))
        idiomas->selecionarIdioma(QStringLiteral("English"));
    EstadoPadrao::restaurar();
    Sequenciador::instancia().abrir();
    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.fecharArquivo();
    const int captura = dispositivo(QStringLiteral("Captura"));
    if (saida.getDispositivo() != captura || !saida.dispositivoAberto())
        saida.abrirDispositivo(captura);
    saida.reiniciarControladores();  // no channel volume left from an earlier test's song
    saida.setVolumeGeral(100);
    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    configuracao.setDriver(captura);
    configuracao.setVolume(100);
    // Beats of an earlier test still queued run now, with the clock stopped.
    QCoreApplication::processEvents();
}

qint64 AmbienteJanela::marca()
{
    return CapturaMidi::marca(arquivo(QStringLiteral("captura.txt")));
}

QList<AmbienteJanela::Mensagem> AmbienteJanela::desde(qint64 marca, int dispositivo)
{
    QList<Mensagem> lidas;
    for (const Mensagem &m : CapturaMidi::ler(arquivo(QStringLiteral("captura.txt")), marca))
        if (dispositivo < 0 || m.dispositivo == dispositivo)
            lidas.append(m);
    return lidas;
}

QStringList AmbienteJanela::notas(qint64 marca, int dispositivo)
{
    QStringList lidas;
    for (const Mensagem &m : desde(marca, dispositivo))
        if ((m.status & 0xF0) == 0x90 && m.dado2 > 0)
            lidas.append(QStringLiteral("%1 %2 %3").arg(m.status).arg(m.dado1).arg(m.dado2));
    return lidas;
}

bool AmbienteJanela::esperar(const std::function<bool()> &condicao, int milissegundos)
{
    return Espera::ate(condicao, milissegundos);
}

QString AmbienteJanela::texto(const char *secao, const char *chave)
{
    return GerenciadorIdiomas::instancia()->obterTexto(QString::fromLatin1(secao), QString::fromLatin1(chave));
}

QStringList AmbienteJanela::mensagens()
{
    QStringList textos;
    for (const CaixaMensagem::Registro &registro : CaixaMensagem::registros())
        textos.append(registro.texto);
    return textos;
}

Janelas::Janelas()
    : principal(std::make_unique<TFormPrincipal>()),
      setup(new TFormSetup(principal.get())),
      assistente(new TformAssistenteConfiguracaoDriver(principal.get()))
{
    // Closing the window must not end the test's own event loops.
    principal->setAttribute(Qt::WA_QuitOnClose, false);
}

Janelas::~Janelas() = default;

int ArquivoMidiTeste::trilha(const QByteArray &nome)
{
    trilhas.emplace_back();
    const int indice = int(trilhas.size()) - 1;
    if (!nome.isEmpty()) {
        QByteArray meta("\xFF\x03", 2);
        meta.append(char(nome.size()));
        meta.append(nome);
        trilhas.back().push_back({0, contador++, meta});
    }
    return indice;
}

void ArquivoMidiTeste::evento(int trilha, uint32_t tick, uint8_t status, uint8_t dado1, uint8_t dado2)
{
    QByteArray dados;
    dados.append(char(status));
    dados.append(char(dado1));
    if ((status & 0xF0) != 0xC0 && (status & 0xF0) != 0xD0)
        dados.append(char(dado2));
    trilhas.at(size_t(trilha)).push_back({tick, contador++, dados});
}

void ArquivoMidiTeste::nota(int trilha, uint32_t tick, uint8_t canal, uint8_t nota, uint32_t duracao)
{
    evento(trilha, tick, uint8_t(0x90 | canal), nota, 100);
    evento(trilha, tick + duracao, uint8_t(0x90 | canal), nota, 0);
}

void ArquivoMidiTeste::andamento(int trilha, uint32_t tick, uint32_t microssegundos)
{
    QByteArray meta("\xFF\x51\x03", 3);
    meta.append(char((microssegundos >> 16) & 0xFF));
    meta.append(char((microssegundos >> 8) & 0xFF));
    meta.append(char(microssegundos & 0xFF));
    trilhas.at(size_t(trilha)).push_back({tick, contador++, meta});
}

namespace {

void numeroVariavel(QByteArray &saida, uint32_t valor)
{
    QByteArray bytes;
    bytes.prepend(char(valor & 0x7F));
    while ((valor >>= 7) != 0)
        bytes.prepend(char((valor & 0x7F) | 0x80));
    saida.append(bytes);
}

void numero32(QByteArray &saida, uint32_t valor)
{
    for (int deslocamento = 24; deslocamento >= 0; deslocamento -= 8)
        saida.append(char((valor >> deslocamento) & 0xFF));
}

}

QByteArray ArquivoMidiTeste::bytes() const
{
    QByteArray saida("MThd", 4);
    numero32(saida, 6);
    saida.append(char(0)).append(char(1));
    saida.append(char(trilhas.size() >> 8)).append(char(trilhas.size() & 0xFF));
    saida.append(char(resolucao >> 8)).append(char(resolucao & 0xFF));
    for (std::vector<Evento> eventos : trilhas) {
        std::stable_sort(eventos.begin(), eventos.end(), [](const Evento &a, const Evento &b) {
            return a.tick != b.tick ? a.tick < b.tick : a.ordem < b.ordem;
        });
        QByteArray corpo;
        uint32_t anterior = 0;
        for (const Evento &e : eventos) {
            numeroVariavel(corpo, e.tick - anterior);
            corpo.append(e.dados);
            anterior = e.tick;
        }
        corpo.append(QByteArray("\x00\xFF\x2F\x00", 4));
        saida.append("MTrk", 4);
        numero32(saida, uint32_t(corpo.size()));
        saida.append(corpo);
    }
    return saida;
}

bool ArquivoMidiTeste::gravar(const QString &caminho) const
{
    QFile arquivo(caminho);
    return arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate) && arquivo.write(bytes()) >= 0;
}
