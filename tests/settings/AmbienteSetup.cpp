#include "AmbienteSetup.h"

#include "common/CapturaMidi.h"
#include "common/Espera.h"
#include "common/EstadoPadrao.h"
#include "common/InstrumentoGravador.h"
#include "common/PastaTemporaria.h"
#include "engine/SaidaMIDI.h"
#include "platform/CaixaMensagem.h"
#include "platform/PastaAplicacao.h"
#include "player/Instrumento.h"
#include "settings/ArquivoConfiguracao.h"
#include "settings/GerenciadorIdiomas.h"
#include "settings/TFormSetup.h"
#include "settings/TformAssistenteConfiguracaoDriver.h"
#include "song/GerenciadorMusica.h"
#include "song/Musica.h"
#include "song/Trilha.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#ifndef AMBIENTE_SETUP_DISPOSITIVOS
#define AMBIENTE_SETUP_DISPOSITIVOS ""
#endif

namespace {

// Known texts, so that the tests can tell each lookup from the others.
const char idiomaTeste[] =
    "[EspecificacaoIdioma]\r\n"
    "nomeIdioma=Teste\r\n"
    "codAplicacao=Tamborly\r\n"
    "[geral]\r\n"
    "nomeAplicacao=Tamborly\r\n"
    "[frmPrincipal]\r\n"
    "msgPlacaDesconfigurada=Placa desconfigurada\r\n"
    "SemNome=Sem nome\r\n"
    "[frmSetup]\r\n"
    "CheckBox=Dica da caixa\r\n"
    "CheckBoxText=Canal livre\r\n"
    "GroupBoxCanais=Escolha os canais\r\n"
    "CheckBoxSel=Todos\r\n"
    "TabCanais=Canais\r\n"
    "btnOK=Confirma\r\n"
    "btnCancel=Desiste\r\n"
    "btnAssistenteDriver=Assistente\r\n"
    "msgDispositivoRecusado=Recusou %1\r\n"
    "TabIdioma=Lingua\r\n"
    "GroupBoxIdioma=Escolha a lingua\r\n"
    "msgIdiomaIndisponivel=Lingua indisponivel\r\n"
    "[frmPratica]\r\n"
    "TabPratica=Pratica\r\n"
    "ckContagem=Contar\r\n"
    "ckMetronomo=Clicar\r\n"
    "sufixoPercentual=pct\r\n"
    "[fmAssistenteConfiguracaoDriver]\r\n"
    "titulo=Configurar\r\n"
    "lblTitulo1-A=Bem-vindo\r\n"
    "lblExplicacao1-A=Linha um#Linha dois\r\n"
    "btnEscutando=Ouvi\r\n"
    "btnNaoEscutando=Nao ouvi\r\n"
    "btnProsseguir=Prosseguir\r\n"
    "btnCancelar=Cancelar\r\n"
    "btnFinalizar=Finalizar\r\n"
    "lblLinkVolumeWindows=Volume\r\n"
    "lblTitulo2-A=Dispositivo\r\n"
    "lblExplicacao2-A1=Vamos testar\r\n"
    "lblExplicacao2-A2=Clique em Prosseguir\r\n"
    "lblTitulo2-B=Ouviu?\r\n"
    "lblExplicacao2-B=Responda\r\n"
    "lblTitulo2-C=Encontrado\r\n"
    "lblExplicacao2-C=Pronto\r\n"
    "lblTitulo2-D=Nenhum\r\n"
    "lblExplicacao2-D=Fim\r\n"
    "erroAbrirVolumeWindows=Sem volume\r\n";

InstrumentoGravador *gravador = nullptr;  // owned by the settings object

PastaTemporaria &pastaSuite()
{
    // The library reads its environment once, when the first binding loads it.
    static PastaTemporaria *pasta = [] {
        auto *nova = new PastaTemporaria({QStringLiteral("libSnMidi32.so"), QStringLiteral("English.idm"),
                                          QStringLiteral("English.dat"), QStringLiteral("Portugues.idm"),
                                          QStringLiteral("Portugues.dat")});
        CapturaMidi::configurar(nova->arquivo(QStringLiteral("captura.txt")), AMBIENTE_SETUP_DISPOSITIVOS);
        QFile idm(nova->arquivo(QStringLiteral("Teste.idm")));
        if (idm.open(QIODevice::WriteOnly))
            idm.write(idiomaTeste);
        QFile dat(nova->arquivo(QStringLiteral("Teste.dat")));
        if (dat.open(QIODevice::WriteOnly))
            dat.close();
        GerenciadorIdiomas::descartarInstancia();
        return nova;
    }();
    return *pasta;
}

// The language manager owns a dialog: it must go while the application object
// still exists, not among the static destructors after main.
class FimDaSuite : public ::testing::Environment {
public:
    void TearDown() override { GerenciadorIdiomas::descartarInstancia(); }
};
[[maybe_unused]] ::testing::Environment *const fimDaSuite = ::testing::AddGlobalTestEnvironment(new FimDaSuite);

}  // namespace

QString AmbienteSetup::pasta()
{
    return pastaSuite().caminho();
}

void AmbienteSetup::preparar()
{
    pastaSuite();
    CaixaMensagem::gravar(true);
    CaixaMensagem::limparRegistros();
    TformAssistenteConfiguracaoDriver::setPausaEscala(std::chrono::milliseconds(pausaEscala));
    GerenciadorIdiomas::instancia()->selecionarIdioma(QStringLiteral("Teste"));

    EstadoPadrao::restaurar();

    ArquivoConfiguracao &configuracao = ArquivoConfiguracao::instancia();
    auto instrumento = std::make_unique<InstrumentoGravador>();
    gravador = instrumento.get();
    configuracao.setInstrumento(std::move(instrumento));

    SaidaMIDI &saida = SaidaMIDI::instancia();
    saida.setVolumeGeral(100);
    saida.abrirDispositivo(0);
    configuracao.setDriver(0);
    // Beats of an earlier test still queued run now, with the clock stopped.
    QCoreApplication::processEvents();
}

int AmbienteSetup::dispositivo(const QString &nome)
{
    pastaSuite();
    return static_cast<int>(SaidaMIDI::instancia().listarDispositivos().indexOf(nome));
}

qint64 AmbienteSetup::marca()
{
    return CapturaMidi::marca(pastaSuite().arquivo(QStringLiteral("captura.txt")));
}

QList<AmbienteSetup::Mensagem> AmbienteSetup::desde(qint64 inicio, int dispositivo)
{
    QList<Mensagem> lidas;
    for (const Mensagem &m : CapturaMidi::ler(pastaSuite().arquivo(QStringLiteral("captura.txt")), inicio)) {
        if (dispositivo == -1 || m.dispositivo == dispositivo)
            lidas.append(m);
    }
    return lidas;
}

QList<AmbienteSetup::Mensagem> AmbienteSetup::semSilencio(const QList<Mensagem> &mensagens)
{
    QList<Mensagem> restantes;
    for (const Mensagem &m : mensagens) {
        if ((m.status & 0xF0) == 0xB0 && (m.dado1 == 120 || m.dado1 == 123) && m.dado2 == 0)
            continue;
        restantes.append(m);
    }
    return restantes;
}

bool AmbienteSetup::esperar(const std::function<bool()> &condicao, int milissegundos)
{
    return Espera::ate(condicao, milissegundos);
}

void AmbienteSetup::abrirMusica(TFormSetup &setup, int trilhas, const QList<int> &bateria)
{
    auto musica = std::make_unique<Musica>();
    for (int i = 0; i < trilhas; ++i) {
        auto trilha = std::make_unique<Trilha>();
        trilha->setCanal(bateria.contains(i) ? 9 : i);
        if (bateria.contains(i))
            trilha->marcarBateria();
        musica->adicionarTrilha(std::move(trilha));
    }
    GerenciadorMusica::instancia().setMusica(std::move(musica));
    for (int i = 0; i < trilhas && i < 16; ++i) {
        setup.mostrarTrilha(i, QStringLiteral("Trilha %1").arg(i));
        QCheckBox *caixa = setup.caixasCanal[static_cast<size_t>(i)];
        caixa->setChecked(true);
        caixa->setEnabled(true);
        ArquivoConfiguracao::instancia().setCanalAtivo(true, i);
    }
    for (int i = trilhas; i < 16; ++i)
        setup.esvaziarCaixa(i);
    setup.CheckBoxSel->setEnabled(true);
    setup.CheckBoxSel->setChecked(true);
    if (gravador)
        gravador->chamadas.clear();
}

QStringList AmbienteSetup::chamadasInstrumento()
{
    return gravador ? gravador->chamadas : QStringList();
}
