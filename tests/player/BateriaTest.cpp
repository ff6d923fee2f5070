#include "common/PastaTemporaria.h"
#include "kit/TabelaBateria.h"
#include "player/Bateria.h"
#include "player/PecasBateria.h"
#include "settings/ArquivoConfiguracao.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <vector>

namespace {

// The kit's pictures as the layout gives them, written out here rather than read
// from the table the code uses, so a wrong rectangle or order there shows up.
enum class Grupo { fundo, baqueta, pe, peca };
struct PecaEsperada {
    const char *nome;
    QRect retangulo;
    Grupo grupo;
};
const PecaEsperada pecasEsperadas[] = {
    {"imgBateria", {0, 0, 626, 414}, Grupo::fundo},
    {"imgChimbal", {41, 80, 107, 321}, Grupo::peca},
    {"imgPeChimbal", {79, 335, 97, 75}, Grupo::pe},
    {"imgSurdo2", {467, 204, 40, 19}, Grupo::peca},
    {"imgCaixa", {160, 188, 40, 18}, Grupo::peca},
    {"imgSurdo1", {380, 182, 36, 21}, Grupo::peca},
    {"imgTon1", {221, 123, 36, 20}, Grupo::peca},
    {"imgTon2", {302, 121, 39, 22}, Grupo::peca},
    {"imgPrato1", {72, 0, 102, 71}, Grupo::peca},
    {"imgPratoAttack1", {183, 43, 81, 40}, Grupo::peca},
    {"imgPrato2", {290, 11, 112, 69}, Grupo::peca},
    {"imgPratoAttack2", {392, 108, 90, 61}, Grupo::peca},
    {"imgPrato3", {452, 20, 142, 88}, Grupo::peca},
    {"imgBaqCaixa", {111, 197, 68, 28}, Grupo::baqueta},
    {"imgBaqPrAttack1", {218, 70, 25, 57}, Grupo::baqueta},
    {"imgBaqPrato1", {139, 58, 38, 63}, Grupo::baqueta},
    {"imgBaqSurdo2", {410, 204, 69, 12}, Grupo::baqueta},
    {"imgBaqSurdo1", {322, 181, 73, 18}, Grupo::baqueta},
    {"imgBaqTon2", {300, 132, 19, 68}, Grupo::baqueta},
    {"imgBaqTon1", {240, 136, 17, 69}, Grupo::baqueta},
    {"imgBaqChimbal", {114, 140, 68, 22}, Grupo::baqueta},
    {"imgBaqAro", {170, 184, 69, 18}, Grupo::baqueta},
    {"imgBaqPrato2", {303, 62, 23, 69}, Grupo::baqueta},
    {"imgBaqPrAttack2", {354, 141, 59, 45}, Grupo::baqueta},
    {"imgBaqPrato3", {412, 85, 64, 41}, Grupo::baqueta},
    {"imgBaqChimbal2", {115, 129, 71, 24}, Grupo::baqueta},
    {"imgPeSolto", {92, 344, 86, 64}, Grupo::pe},
    {"imgBombo", {208, 214, 133, 189}, Grupo::peca},
    {"imgPeBomboSolto", {259, 300, 42, 105}, Grupo::pe},
};

// The player window as the kit expects it: a top-level "FormPrincipal" with the
// kit panel "pnInstrumento" holding the kit pictures.
class BateriaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        montarJanela();
        bateria = std::make_unique<Bateria>();
    }

    void montarJanela()
    {
        janela = std::make_unique<QWidget>();
        janela->setObjectName(QStringLiteral("FormPrincipal"));
        janela->resize(793, 527);
        painel = new QWidget(janela.get());
        painel->setObjectName(QStringLiteral("pnInstrumento"));
        painel->setGeometry(0, 0, 626, 415);
        imagens = PecasBateria::criar(painel);
    }

    QLabel *imagem(const QString &nome) const
    {
        auto *label = janela->findChild<QLabel *>(nome);
        EXPECT_NE(label, nullptr) << nome.toStdString();
        return label;
    }

    // Visibility of every kit picture, by name.
    std::map<QString, bool> estado() const
    {
        std::map<QString, bool> visiveis;
        for (const PecaEsperada &peca : pecasEsperadas)
            visiveis[QString::fromLatin1(peca.nome)] = !imagem(QString::fromLatin1(peca.nome))->isHidden();
        return visiveis;
    }

    std::vector<QString> visiveis() const
    {
        std::vector<QString> nomes;
        for (const auto &[nome, visivel] : estado())
            if (visivel)
                nomes.push_back(nome);
        return nomes;
    }

    void mostrarTodas()
    {
        for (QLabel *label : imagens)
            label->show();
    }

    std::unique_ptr<QWidget> janela;
    QWidget *painel = nullptr;
    QList<QLabel *> imagens;
    std::unique_ptr<Bateria> bateria;  // declared last: goes before the window
};

TEST_F(BateriaTest, PicturesAndConstructionGeometry)
{
    ASSERT_EQ(imagens.size(), qsizetype(std::size(pecasEsperadas)));
    // Children are stacked in creation order: the panel's child order is the layout's.
    const QObjectList filhos = painel->children();
    ASSERT_EQ(filhos.size(), imagens.size());
    for (size_t i = 0; i < std::size(pecasEsperadas); ++i) {
        const PecaEsperada &peca = pecasEsperadas[i];
        SCOPED_TRACE(peca.nome);
        EXPECT_EQ(filhos[qsizetype(i)], imagens[qsizetype(i)]);
        EXPECT_EQ(imagens[qsizetype(i)]->objectName(), QString::fromLatin1(peca.nome));
        EXPECT_EQ(imagens[qsizetype(i)]->geometry(), peca.retangulo);
        // Only the sticks are drawn with transparency over what lies beneath.
        EXPECT_EQ(imagens[qsizetype(i)]->pixmap().hasAlphaChannel(), peca.grupo == Grupo::baqueta);
    }
    EXPECT_EQ(painel->geometry(), QRect(70, 39, 626, 414));
    EXPECT_EQ(visiveis(), std::vector<QString>{QStringLiteral("imgBateria")});
}

// Each note sets exactly the pictures listed for it and leaves every other
// picture as it was, whether it started hidden or shown.
TEST_F(BateriaTest, EveryListedNoteOnAndOff)
{
    struct Linha {
        uint32_t nota;
        std::vector<std::pair<const char *, bool>> mostrar;
        std::vector<std::pair<const char *, bool>> esconder;
    };
    auto tambor = [](uint32_t nota, const char *baqueta, const char *peca) {
        return Linha{nota, {{baqueta, true}, {peca, true}}, {{baqueta, false}, {peca, false}}};
    };
    const Linha bumbo{0, {{"imgBombo", true}, {"imgPeBomboSolto", false}},
                      {{"imgBombo", false}, {"imgPeBomboSolto", true}}};
    std::vector<Linha> tabela = {
        {37, {{"imgBaqAro", true}}, {{"imgBaqAro", false}}},
        tambor(38, "imgBaqCaixa", "imgCaixa"),
        tambor(40, "imgBaqCaixa", "imgCaixa"),
        tambor(41, "imgBaqSurdo2", "imgSurdo2"),
        {42,
         {{"imgPeChimbal", true}, {"imgPeSolto", false}, {"imgBaqChimbal", true}, {"imgBaqChimbal2", false},
          {"imgChimbal", true}},
         {{"imgPeChimbal", true}, {"imgPeSolto", false}, {"imgBaqChimbal", false}, {"imgChimbal", true}}},
        tambor(43, "imgBaqSurdo1", "imgSurdo1"),
        {44,
         {{"imgPeChimbal", true}, {"imgPeSolto", false}, {"imgBaqChimbal", false}, {"imgBaqChimbal2", false},
          {"imgChimbal", true}},
         {{"imgPeChimbal", false}, {"imgPeSolto", true}, {"imgChimbal", false}}},
        tambor(45, "imgBaqTon2", "imgTon2"),
        {46,
         {{"imgPeChimbal", false}, {"imgPeSolto", true}, {"imgBaqChimbal", false}, {"imgBaqChimbal2", true},
          {"imgChimbal", false}},
         {{"imgPeChimbal", false}, {"imgPeSolto", true}, {"imgBaqChimbal2", false}, {"imgChimbal", false}}},
        tambor(47, "imgBaqTon2", "imgTon2"),
        tambor(48, "imgBaqTon1", "imgTon1"),
        tambor(49, "imgBaqPrato3", "imgPrato3"),
        tambor(50, "imgBaqTon1", "imgTon1"),
        tambor(51, "imgBaqPrAttack2", "imgPratoAttack2"),
        tambor(52, "imgBaqPrato3", "imgPrato3"),
        tambor(53, "imgBaqPrato3", "imgPrato3"),
        {54,
         {{"imgPeChimbal", true}, {"imgBaqChimbal", true}, {"imgBaqChimbal2", false}, {"imgChimbal", true}},
         {{"imgPeChimbal", true}, {"imgBaqChimbal", false}, {"imgChimbal", true}}},
        tambor(55, "imgBaqPrAttack1", "imgPratoAttack1"),
        tambor(57, "imgBaqPrato2", "imgPrato2"),
        tambor(59, "imgBaqPrato1", "imgPrato1"),
    };
    Linha n35 = bumbo, n36 = bumbo;
    n35.nota = 35;
    n36.nota = 36;
    tabela.push_back(n35);
    tabela.push_back(n36);

    for (const Linha &linha : tabela) {
        for (bool todasVisiveis : {false, true}) {
            for (bool ligar : {true, false}) {
                bateria->esconderTudo();
                if (todasVisiveis)
                    mostrarTodas();
                auto esperado = estado();
                for (const auto &[nome, visivel] : ligar ? linha.mostrar : linha.esconder)
                    esperado[QString::fromLatin1(nome)] = visivel;
                if (ligar)
                    bateria->mostrarNota(linha.nota);
                else
                    bateria->esconderNota(linha.nota);
                EXPECT_EQ(estado(), esperado) << "note " << linha.nota << (ligar ? " on" : " off")
                                              << (todasVisiveis ? " over a full kit" : " over an empty kit");
            }
        }
    }
}

TEST_F(BateriaTest, NotesOutsideTheKitChangeNothing)
{
    for (uint32_t nota : {0u, 1u, 34u, 39u, 56u, 58u, 60u, 127u, 128u, 0xFFFFFFFFu}) {
        for (bool todasVisiveis : {false, true}) {
            bateria->esconderTudo();
            if (todasVisiveis)
                mostrarTodas();
            const auto antes = estado();
            bateria->mostrarNota(nota);
            EXPECT_EQ(estado(), antes) << "note " << nota << " on";
            bateria->esconderNota(nota);
            EXPECT_EQ(estado(), antes) << "note " << nota << " off";
        }
    }
}

TEST_F(BateriaTest, HiHatLooks)
{
    auto fechado = [&] {
        return !imagem("imgChimbal")->isHidden() && !imagem("imgPeChimbal")->isHidden()
               && imagem("imgPeSolto")->isHidden();
    };
    auto aberto = [&] {
        return imagem("imgChimbal")->isHidden() && imagem("imgPeChimbal")->isHidden()
               && !imagem("imgPeSolto")->isHidden();
    };

    // An open hit, then a closed one: the closed stick replaces the open one.
    bateria->mostrarNota(46);
    EXPECT_TRUE(aberto());
    EXPECT_FALSE(imagem("imgBaqChimbal2")->isHidden());
    bateria->mostrarNota(42);
    EXPECT_TRUE(imagem("imgBaqChimbal2")->isHidden());
    EXPECT_FALSE(imagem("imgBaqChimbal")->isHidden());
    EXPECT_TRUE(fechado());
    bateria->esconderNota(42);
    EXPECT_TRUE(fechado());
    EXPECT_TRUE(imagem("imgBaqChimbal")->isHidden());

    // The pedal leaves the hat open and the foot lifted.
    bateria->mostrarNota(44);
    EXPECT_TRUE(fechado());
    bateria->esconderNota(44);
    EXPECT_TRUE(aberto());

    // An open hit and release stay open; the tambourine closes the hat but keeps
    // the lifted foot as it was.
    bateria->mostrarNota(46);
    bateria->esconderNota(46);
    EXPECT_TRUE(aberto());
    EXPECT_TRUE(imagem("imgBaqChimbal2")->isHidden());
    bateria->mostrarNota(54);
    EXPECT_FALSE(imagem("imgChimbal")->isHidden());
    EXPECT_FALSE(imagem("imgPeChimbal")->isHidden());
    EXPECT_FALSE(imagem("imgPeSolto")->isHidden());
    EXPECT_FALSE(imagem("imgBaqChimbal")->isHidden());
    bateria->esconderNota(54);
    EXPECT_TRUE(imagem("imgBaqChimbal")->isHidden());
    EXPECT_FALSE(imagem("imgPeSolto")->isHidden());

    // A closed hit and release, then the tambourine: the hat is closed throughout.
    bateria->mostrarNota(42);
    bateria->esconderNota(42);
    EXPECT_TRUE(fechado());
    bateria->mostrarNota(54);
    bateria->esconderNota(54);
    EXPECT_TRUE(fechado());
}

TEST_F(BateriaTest, EsconderTudoLeavesOnlyTheBackground)
{
    // A note whose release never came stays lit until the kit is cleared.
    for (uint32_t nota = 30; nota <= 62; ++nota)
        bateria->mostrarNota(nota);
    bateria->esconderNota(35);
    bateria->esconderNota(44);
    EXPECT_FALSE(imagem("imgBaqCaixa")->isHidden());
    bateria->esconderTudo();
    EXPECT_EQ(visiveis(), std::vector<QString>{QStringLiteral("imgBateria")});

    mostrarTodas();
    bateria->esconderTudo();
    EXPECT_EQ(visiveis(), std::vector<QString>{QStringLiteral("imgBateria")});
}

TEST_F(BateriaTest, DesmontarTakesTheKitApart)
{
    janela->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(janela.get()));
    mostrarTodas();
    bateria->desmontar();

    for (const PecaEsperada &peca : pecasEsperadas) {
        QLabel *label = imagem(QString::fromLatin1(peca.nome));
        if (peca.grupo == Grupo::baqueta) {
            EXPECT_NE(label->parentWidget(), painel) << peca.nome;
            EXPECT_EQ(label->window(), janela.get()) << peca.nome << " is still the window's";
        } else if (peca.grupo == Grupo::peca) {
            EXPECT_TRUE(label->isHidden()) << peca.nome;
            EXPECT_EQ(label->geometry(), QRect(0, 0, 15, 15)) << peca.nome;
        } else {
            // Feet and the background stay where they are.
            EXPECT_EQ(label->parentWidget(), painel) << peca.nome;
            EXPECT_EQ(label->geometry(), peca.retangulo) << peca.nome;
        }
    }
    EXPECT_FALSE(imagem("imgBateria")->isHidden());

    // A stick shown after the kit is dismantled appears nowhere.
    bateria->mostrarNota(38);
    EXPECT_FALSE(imagem("imgBaqCaixa")->isVisible());
    bateria->desmontar();  // a second time changes nothing more
    EXPECT_FALSE(imagem("imgBaqCaixa")->isVisible());
}

TEST_F(BateriaTest, DestructionTakesOutTheSticksAndCollapsesTheBackground)
{
    bateria->mostrarNota(38);
    bateria.reset();
    EXPECT_NE(imagem("imgBaqCaixa")->parentWidget(), painel);
    EXPECT_TRUE(imagem("imgBateria")->isHidden());
    EXPECT_EQ(imagem("imgBateria")->geometry(), QRect(0, 0, 15, 15));
    EXPECT_EQ(imagem("imgCaixa")->parentWidget(), painel);

    // The window may go before the kit: the kit then touches nothing.
    bateria = std::make_unique<Bateria>();
    janela.reset();
    bateria->mostrarNota(38);
    bateria->esconderTudo();
    bateria->desmontar();
    bateria.reset();
}

// The settings object builds the kit from the player window, again for a new
// window (the old kit goes first, its window already gone).
TEST_F(BateriaTest, SettingsBuildTheKit)
{
    bateria.reset();
    janela.reset();
    PastaTemporaria pasta{QStringList{}};
    ArquivoConfiguracao configuracao(QStringLiteral("tamborly"));
    for (int vez = 0; vez < 2; ++vez) {
        montarJanela();
        configuracao.criarInstrumento(0);
        ASSERT_NE(dynamic_cast<Bateria *>(configuracao.getInstrumento()), nullptr);
        EXPECT_EQ(painel->geometry(), QRect(70, 39, 626, 414)) << "build " << vez;
        configuracao.getInstrumento()->mostrarNota(38);
        EXPECT_FALSE(imagem("imgBaqCaixa")->isHidden()) << "build " << vez;
        EXPECT_FALSE(imagem("imgCaixa")->isHidden()) << "build " << vez;
        janela.reset();
    }
}

TEST(BateriaSemJanela, WithoutThePlayerWindowNothingHappens)
{
    QWidget outra;  // a window of another name is not the player window
    auto *painel = new QWidget(&outra);
    painel->setObjectName(QStringLiteral("pnInstrumento"));
    painel->setGeometry(1, 2, 3, 4);
    const QList<QLabel *> imagens = PecasBateria::criar(painel);
    {
        Bateria bateria;
        bateria.mostrarNota(38);
        bateria.esconderTudo();
        bateria.desmontar();
    }
    EXPECT_EQ(painel->geometry(), QRect(1, 2, 3, 4));
    for (QLabel *label : imagens)
        EXPECT_EQ(label->parentWidget(), painel);
    EXPECT_TRUE(outra.findChild<QLabel *>(QStringLiteral("imgBaqCaixa"))->isHidden());
}

// Records the paint events of every kit picture and of the panel.
class ContadorPinturas : public QObject {
public:
    bool eventFilter(QObject *objeto, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint)
            regioes[objeto->objectName()] += static_cast<QPaintEvent *>(evento)->region();
        return false;
    }
    std::map<QString, QRegion> regioes;
};

TEST_F(BateriaTest, LightingADrumRepaintsOnlyWhatChanged)
{
    janela->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(janela.get()));
    QCoreApplication::processEvents();

    ContadorPinturas contador;
    painel->installEventFilter(&contador);
    for (QLabel *label : imagens)
        label->installEventFilter(&contador);

    bateria->mostrarNota(38);
    ASSERT_TRUE(QTest::qWaitFor([&] { return contador.regioes.count(QStringLiteral("imgCaixa"))
                                             && contador.regioes.count(QStringLiteral("imgBaqCaixa")); },
                                10000));
    QCoreApplication::processEvents();
    const QRegion mudou = QRegion(imagem("imgCaixa")->geometry()) + imagem("imgBaqCaixa")->geometry();
    for (const auto &[nome, regiao] : contador.regioes) {
        if (nome == QLatin1String("imgCaixa") || nome == QLatin1String("imgBaqCaixa"))
            continue;
        ASSERT_TRUE(nome == QLatin1String("pnInstrumento") || nome == QLatin1String("imgBateria"))
            << nome.toStdString() << " was repainted";
        const QRegion noPainel = nome == QLatin1String("imgBateria") ? regiao.translated(imagem("imgBateria")->pos())
                                                                     : regiao;
        EXPECT_TRUE((noPainel - mudou).isEmpty()) << nome.toStdString() << " repainted beyond the struck snare";
    }

    // The release repaints the same rectangles and nothing else.
    contador.regioes.clear();
    bateria->esconderNota(38);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !contador.regioes.empty(); }, 10000));
    QCoreApplication::processEvents();
    for (const auto &[nome, regiao] : contador.regioes) {
        ASSERT_TRUE(nome == QLatin1String("pnInstrumento") || nome == QLatin1String("imgBateria"))
            << nome.toStdString() << " was repainted";
        const QRegion noPainel = nome == QLatin1String("imgBateria") ? regiao.translated(imagem("imgBateria")->pos())
                                                                     : regiao;
        EXPECT_TRUE((noPainel - mudou).isEmpty()) << nome.toStdString() << " repainted beyond the struck snare";
    }

    // A note already showing changes nothing, so nothing is repainted.
    contador.regioes.clear();
    bateria->mostrarNota(44);
    ASSERT_TRUE(QTest::qWaitFor([&] { return contador.regioes.count(QStringLiteral("imgChimbal")) > 0; }, 10000));
    QTest::qWait(50);
    contador.regioes.clear();
    bateria->mostrarNota(44);
    QTest::qWait(50);
    EXPECT_TRUE(contador.regioes.empty());
}

} // namespace
