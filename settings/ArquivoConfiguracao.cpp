#include "settings/ArquivoConfiguracao.h"

#include "engine/AcessoConfiguracao.h"
#include "platform/ArquivoPerfil.h"
#include "platform/GravacaoSegura.h"
#include "platform/PastaAplicacao.h"
#include "player/Bateria.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString secaoGeral = QStringLiteral("geral");

// An optional sign and decimal digits that fit in 32 signed bits; nothing else.
std::optional<int32_t> converter(const QString &texto)
{
    qsizetype i = 0;
    bool negativo = false;
    if (i < texto.size() && (texto[i] == QLatin1Char('+') || texto[i] == QLatin1Char('-'))) {
        negativo = texto[i] == QLatin1Char('-');
        ++i;
    }
    if (i == texto.size())
        return std::nullopt;
    int64_t valor = 0;
    for (; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        valor = valor * 10 + (c.unicode() - '0');
        if (valor > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negativo)
        valor = -valor;
    if (valor < INT32_MIN || valor > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(valor);
}

QString nomeDoExecutavel()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName();
}

// What the engine sees of the settings object: the track flags and the instrument.
class FonteMotor final : public AcessoConfiguracao::Fonte {
public:
    explicit FonteMotor(ArquivoConfiguracao &configuracao) : configuracao(configuracao) {}

    bool canalAtivo(int32_t indice) const override { return configuracao.canalAtivo(indice); }
    void mostrarNota(uint32_t nota) override
    {
        if (Instrumento *instrumento = configuracao.getInstrumento())
            instrumento->mostrarNota(nota);
    }
    void esconderNota(uint32_t nota) override
    {
        if (Instrumento *instrumento = configuracao.getInstrumento())
            instrumento->esconderNota(nota);
    }

private:
    ArquivoConfiguracao &configuracao;  // not owned: the single instance, never destroyed
};

}  // namespace

ArquivoConfiguracao &ArquivoConfiguracao::instancia()
{
    // Never destroyed: it owns the instrument, which lives as long as the window.
    static ArquivoConfiguracao *unica = [] {
        auto *nova = new ArquivoConfiguracao(nomeDoExecutavel());
        static FonteMotor fonte(*nova);
        AcessoConfiguracao::instancia().registrar(&fonte);
        return nova;
    }();
    return *unica;
}

ArquivoConfiguracao::ArquivoConfiguracao(const QString &nomeExecutavel)
    : nomeArquivo(nomeConfiguracao(nomeExecutavel))
{
    // Nothing reads a flag before a song sets it; enabled is the harmless start.
    canaisAtivos.fill(true);
    carregar();
}

ArquivoConfiguracao::~ArquivoConfiguracao() = default;

QString ArquivoConfiguracao::nomeConfiguracao(const QString &nomeExecutavel)
{
    const qsizetype n = nomeExecutavel.size();
    bool temExtensao = n >= 4 && nomeExecutavel[n - 4] == QLatin1Char('.');
    for (qsizetype i = n - 3; temExtensao && i < n; ++i)
        temExtensao = nomeExecutavel[i].isLetterOrNumber();
    if (temExtensao)
        return nomeExecutavel.left(n - 3) + QStringLiteral("ini");
    // Linux executables have no extension: keep the whole name.
    return nomeExecutavel + QStringLiteral(".ini");
}

namespace {

// A latency in ms: a plain decimal number within a second, else the default.
double lerMilissegundos(const QString &texto)
{
    bool certo = false;
    const double valor = texto.toDouble(&certo);
    return certo && std::isfinite(valor) && valor >= -1000 && valor <= 1000 ? valor : 0.0;
}

}  // namespace

void ArquivoConfiguracao::carregarKit(const ArquivoPerfil &perfil)
{
    entrada = perfil.lerTexto(secaoGeral, QStringLiteral("entrada"), QString());
    somKit = perfil.lerTexto(secaoGeral, QStringLiteral("somKit"), QStringLiteral("0")) == QLatin1String("1");
    latencia = lerMilissegundos(perfil.lerTexto(secaoGeral, QStringLiteral("latencia"), QStringLiteral("0")));
    latenciaDispersao
        = std::abs(lerMilissegundos(perfil.lerTexto(secaoGeral, QStringLiteral("latenciaDispersao"), QStringLiteral("0"))));
}

void ArquivoConfiguracao::setLatencia(double valor, double dispersao)
{
    latencia = valor;
    latenciaDispersao = dispersao;
}

void ArquivoConfiguracao::carregar()
{
    // A save cut short by a killed process leaves its temporary file behind, in
    // the folder the saves go to.
    GravacaoSegura::removerSobras(PastaAplicacao::arquivoConfiguracaoGravado(nomeArquivo));
    const ArquivoPerfil perfil(PastaAplicacao::arquivoConfiguracaoLido(nomeArquivo));
    // The kit's keys stand apart from the numbers below: a bad one of those does not lose them.
    carregarKit(perfil);
    carregarPratica(perfil);
    // The language is read whatever happens to the numbers, so a bad "driver"
    // cannot leave the program without a language.
    idioma = perfil.lerTexto(secaoGeral, QStringLiteral("idioma"), QStringLiteral("English"));
    const std::optional<int32_t> lidoDriver = converter(perfil.lerTexto(secaoGeral, QStringLiteral("driver"), QStringLiteral("0")));
    std::optional<int32_t> lidoVolume;
    std::optional<int32_t> lidoVisualizacao;
    if (lidoDriver)
        lidoVolume = converter(perfil.lerTexto(secaoGeral, QStringLiteral("volume"), QStringLiteral("127")));
    if (lidoVolume)
        lidoVisualizacao = converter(perfil.lerTexto(secaoGeral, QStringLiteral("visualizacao"), QStringLiteral("0")));
    if (!lidoVisualizacao) {
        // Reading stops at the first bad number; every number takes its default.
        driver = 0;
        volume = 127;
        visualizacao = 0;
        canaisAtivos[0] = true;
        return;
    }
    driver = *lidoDriver;
    volume = *lidoVolume;
    visualizacao = *lidoVisualizacao;
}

void ArquivoConfiguracao::carregarPratica(const ArquivoPerfil &perfil)
{
    // Each practice key stands alone: a bad value takes that key's default and
    // leaves the device, volume and language alone.
    const Pratica padrao;
    auto numero = [&](const char *chave, int32_t valorPadrao) {
        return converter(perfil.lerTexto(secaoGeral, QString::fromLatin1(chave), QString())).value_or(valorPadrao);
    };
    Pratica lida;
    lida.contagem = numero("contagem", padrao.contagem) != 0;
    lida.metronomo = numero("metronomo", padrao.metronomo) != 0;
    lida.volumeMetronomo = numero("volumeMetronomo", padrao.volumeMetronomo);
    lida.treino = numero("treino", padrao.treino) != 0;
    lida.treinoInicio = numero("treinoInicio", padrao.treinoInicio);
    lida.treinoPasso = numero("treinoPasso", padrao.treinoPasso);
    lida.treinoAlvo = numero("treinoAlvo", padrao.treinoAlvo);
    setPratica(lida);
}

void ArquivoConfiguracao::acrescentarPratica(QStringList &linhas) const
{
    // Only what differs from the defaults: a player who never practises keeps
    // the four-line file.
    const Pratica padrao;
    auto acrescentar = [&](const char *chave, int32_t valor, int32_t valorPadrao) {
        if (valor != valorPadrao)
            linhas.append(QString::fromLatin1(chave) + QLatin1Char('=') + QString::number(valor));
    };
    acrescentar("contagem", pratica.contagem, padrao.contagem);
    acrescentar("metronomo", pratica.metronomo, padrao.metronomo);
    acrescentar("volumeMetronomo", pratica.volumeMetronomo, padrao.volumeMetronomo);
    acrescentar("treino", pratica.treino, padrao.treino);
    acrescentar("treinoInicio", pratica.treinoInicio, padrao.treinoInicio);
    acrescentar("treinoPasso", pratica.treinoPasso, padrao.treinoPasso);
    acrescentar("treinoAlvo", pratica.treinoAlvo, padrao.treinoAlvo);
}

void ArquivoConfiguracao::setPratica(const Pratica &valor)
{
    pratica = valor;
    pratica.volumeMetronomo = std::clamp(pratica.volumeMetronomo, 0, 100);
    pratica.treinoInicio = std::clamp(pratica.treinoInicio, 25, 200);
    pratica.treinoPasso = std::clamp(pratica.treinoPasso, 1, 50);
    pratica.treinoAlvo = std::clamp(pratica.treinoAlvo, 25, 200);
}

bool ArquivoConfiguracao::canalAtivo(int32_t indice) const
{
    if (indice < 0 || indice >= static_cast<int32_t>(canaisAtivos.size()))
        return true;
    return canaisAtivos[static_cast<size_t>(indice)];
}

void ArquivoConfiguracao::setCanalAtivo(bool valor, int32_t indice)
{
    if (indice < 0 || indice >= static_cast<int32_t>(canaisAtivos.size()))
        return;
    canaisAtivos[static_cast<size_t>(indice)] = valor;
}

void ArquivoConfiguracao::criarInstrumento(int32_t tipo)
{
    tipoInstrumento = tipo;
    // The old kit goes first: its destruction collapses the pictures the new one uses.
    instrumento.reset();
    instrumento = std::make_unique<Bateria>();
}

void ArquivoConfiguracao::setInstrumento(std::unique_ptr<Instrumento> novo)
{
    instrumento = std::move(novo);
}

bool ArquivoConfiguracao::salvar()
{
    QStringList linhas{
        QStringLiteral("[geral]"),
        QStringLiteral("driver=") + QString::number(driver),
        QStringLiteral("volume=") + QString::number(volume),
        QStringLiteral("idioma=") + idioma,
    };
    // The kit, after the four lines; only what differs from the defaults, so a user
    // without a kit keeps the four-line file.
    if (!entrada.isEmpty())
        linhas.append(QStringLiteral("entrada=") + entrada);
    if (somKit)
        linhas.append(QStringLiteral("somKit=1"));
    if (latencia != 0 || latenciaDispersao != 0) {
        linhas.append(QStringLiteral("latencia=") + QString::number(latencia, 'f', 1));
        linhas.append(QStringLiteral("latenciaDispersao=") + QString::number(latenciaDispersao, 'f', 1));
    }
    acrescentarPratica(linhas);
    // A system-wide install saves in the user's configuration folder, made on the first save.
    const QString caminho = PastaAplicacao::arquivoConfiguracaoGravado(nomeArquivo);
    QDir().mkpath(QFileInfo(caminho).absolutePath());
    return ArquivoPerfil::gravarLinhas(caminho, linhas);
}
