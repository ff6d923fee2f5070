#include "player/Bateria.h"

#include <QApplication>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace {

enum Slot : uint8_t {
    nenhum = 0,
    baqChimbal = 1, baqChimbal2, baqCaixa, baqAro, baqTon1, baqTon2, baqSurdo1, baqSurdo2,
    baqPrato1, baqPrAttack1, baqPrato2, baqPrAttack2, baqPrato3,
    peBomboSolto = 14, peChimbal, peSolto,
    bombo = 18, chimbal, caixa, ton1, ton2, surdo1, surdo2,
    prato1, pratoAttack1, prato2, pratoAttack2, prato3,
};

constexpr int primeiraBaqueta = baqChimbal;
constexpr int ultimaBaqueta = baqPrato3;

// One picture set visible or hidden.
struct Passo {
    uint8_t slot = nenhum;
    bool visivel = false;
};

constexpr Passo mostra(Slot s) { return {s, true}; }
constexpr Passo esconde(Slot s) { return {s, false}; }

// A note's pictures for its strike and for its release, in the order they are
// set; unused steps have slot nenhum.
struct Golpe {
    std::array<Passo, 5> mostrar{};
    std::array<Passo, 5> esconder{};
};

constexpr Golpe tambor(Slot baqueta, Slot peca)
{
    return {{mostra(baqueta), mostra(peca)}, {esconde(baqueta), esconde(peca)}};
}

constexpr uint32_t primeiraNota = 35;
constexpr uint32_t ultimaNota = 59;

// The General MIDI percussion notes the kit can show; a note without steps
// (hand clap, cowbell, vibraslap) shows nothing.
constexpr std::array<Golpe, ultimaNota - primeiraNota + 1> golpes = [] {
    std::array<Golpe, ultimaNota - primeiraNota + 1> t{};
    auto nota = [&t](uint32_t n) -> Golpe & { return t[n - primeiraNota]; };

    const Golpe bumbo{{mostra(bombo), esconde(peBomboSolto)}, {esconde(bombo), mostra(peBomboSolto)}};
    nota(35) = bumbo;                              // Acoustic Bass Drum
    nota(36) = bumbo;                              // Bass Drum 1
    nota(37) = {{mostra(baqAro)}, {esconde(baqAro)}};  // Side Stick
    nota(38) = tambor(baqCaixa, caixa);            // Acoustic Snare
    nota(40) = tambor(baqCaixa, caixa);            // Electric Snare
    nota(41) = tambor(baqSurdo2, surdo2);          // Low Floor Tom
    // Closed Hi-Hat: the hat stays closed on release.
    nota(42) = {{mostra(peChimbal), esconde(peSolto), mostra(baqChimbal), esconde(baqChimbal2), mostra(chimbal)},
                {mostra(peChimbal), esconde(peSolto), esconde(baqChimbal), mostra(chimbal)}};
    nota(43) = tambor(baqSurdo1, surdo1);          // High Floor Tom
    // Pedal Hi-Hat: the foot comes back up and leaves the hat open.
    nota(44) = {{mostra(peChimbal), esconde(peSolto), esconde(baqChimbal), esconde(baqChimbal2), mostra(chimbal)},
                {esconde(peChimbal), mostra(peSolto), esconde(chimbal)}};
    nota(45) = tambor(baqTon2, ton2);              // Low Tom
    // Open Hi-Hat: open while struck and after.
    nota(46) = {{esconde(peChimbal), mostra(peSolto), esconde(baqChimbal), mostra(baqChimbal2), esconde(chimbal)},
                {esconde(peChimbal), mostra(peSolto), esconde(baqChimbal2), esconde(chimbal)}};
    nota(47) = tambor(baqTon2, ton2);              // Low-Mid Tom
    nota(48) = tambor(baqTon1, ton1);              // Hi-Mid Tom
    nota(49) = tambor(baqPrato3, prato3);          // Crash Cymbal 1
    nota(50) = tambor(baqTon1, ton1);              // High Tom
    nota(51) = tambor(baqPrAttack2, pratoAttack2); // Ride Cymbal 1
    nota(52) = tambor(baqPrato3, prato3);          // Chinese Cymbal
    nota(53) = tambor(baqPrato3, prato3);          // Ride Bell
    // Tambourine: played on the closed hat, leaving the lifted foot as it was.
    nota(54) = {{mostra(peChimbal), mostra(baqChimbal), esconde(baqChimbal2), mostra(chimbal)},
                {mostra(peChimbal), esconde(baqChimbal), mostra(chimbal)}};
    nota(55) = tambor(baqPrAttack1, pratoAttack1); // Splash Cymbal
    nota(57) = tambor(baqPrato2, prato2);          // Crash Cymbal 2
    nota(59) = tambor(baqPrato1, prato1);          // Ride Cymbal 2
    return t;
}();

QWidget *janelaPrincipal()
{
    for (QWidget *janela : QApplication::topLevelWidgets()) {
        if (janela->objectName() == QLatin1String("FormPrincipal"))
            return janela;
    }
    return nullptr;
}

QWidget *painelDaBateria()
{
    QWidget *janela = janelaPrincipal();
    return janela ? janela->findChild<QWidget *>(QStringLiteral("pnInstrumento")) : nullptr;
}

QLabel *imagemDoPainel(QWidget *painel, std::string_view nome)
{
    if (!painel)
        return nullptr;
    return painel->findChild<QLabel *>(QString::fromLatin1(nome.data(), qsizetype(nome.size())),
                                       Qt::FindDirectChildrenOnly);
}

QLabel *fundoDaBateria()
{
    return imagemDoPainel(painelDaBateria(), tabelaBateria.front().nome);
}

void aplicar(const std::array<QPointer<QLabel>, numSlotsBateria> &imagens, const std::array<Passo, 5> &passos)
{
    for (const Passo &passo : passos) {
        if (passo.slot == nenhum)
            break;
        QLabel *imagem = imagens[passo.slot];
        // Only a real change reaches the widget, so only that picture's rectangle
        // is repainted.
        if (imagem && imagem->isHidden() == passo.visivel)
            imagem->setVisible(passo.visivel);
    }
}

// Where the sticks go when they leave the kit: a hidden holder in the player
// window, so they stay owned by it and, shown or not, are drawn nowhere.
QWidget *guardaBaquetas(QWidget *janela)
{
    static const QString nome = QStringLiteral("pnBaquetasGuardadas");
    auto *guarda = janela->findChild<QWidget *>(nome, Qt::FindDirectChildrenOnly);
    if (!guarda) {
        guarda = new QWidget(janela);
        guarda->setObjectName(nome);
        guarda->setGeometry(0, 0, 0, 0);
        guarda->hide();
    }
    return guarda;
}

} // namespace

Bateria::Bateria() : Instrumento(fundoDaBateria())
{
    QWidget *painel = painelDaBateria();
    if (painel) {
        // The panel takes the size of the kit drawing: 414 high, not the 415 of the window's design.
        painel->setGeometry(70, 39, larguraBateria, alturaBateria);
        for (const PecaBateria &peca : tabelaBateria) {
            if (peca.slot >= 0)
                imagens[peca.slot] = imagemDoPainel(painel, peca.nome);
        }
    }
    if (fundo) {
        fundo->setGeometry(0, 0, larguraBateria, alturaBateria);
        fundo->show();
    }
}

Bateria::~Bateria()
{
    if (podeMexerNasImagens())
        tirarBaquetas();
}

void Bateria::mostrarNota(uint32_t nota)
{
    if (nota >= primeiraNota && nota <= ultimaNota)
        aplicar(imagens, golpes[nota - primeiraNota].mostrar);
}

void Bateria::esconderNota(uint32_t nota)
{
    if (nota >= primeiraNota && nota <= ultimaNota)
        aplicar(imagens, golpes[nota - primeiraNota].esconder);
}

void Bateria::esconderTudo()
{
    for (int slot = 1; slot < numSlotsBateria; ++slot) {
        QLabel *imagem = imagens[slot];
        if (imagem && !imagem->isHidden())
            imagem->hide();
    }
}

void Bateria::desmontar()
{
    tirarBaquetas();
    for (int slot = bombo; slot <= prato3; ++slot) {
        if (QLabel *imagem = imagens[slot]) {
            imagem->hide();
            imagem->setGeometry(0, 0, 15, 15);
        }
    }
}

void Bateria::tirarBaquetas()
{
    for (int slot = primeiraBaqueta; slot <= ultimaBaqueta; ++slot) {
        QLabel *imagem = imagens[slot];
        if (!imagem)
            continue;
        QWidget *janela = imagem->window();
        if (janela == imagem)
            continue;  // already parentless
        QWidget *guarda = guardaBaquetas(janela);
        if (imagem->parentWidget() != guarda) {
            const bool visivel = !imagem->isHidden();
            imagem->setParent(guarda);
            imagem->setVisible(visivel);
        }
    }
}
