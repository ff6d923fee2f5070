#include "player/DesenhoPrincipal.h"

#include "player/Imagem.h"
#include "player/PecasBateria.h"
#include "player/TFormPrincipal.h"
#include "player/TrilhoVolume.h"
#include "settings/ImagemEmbutida.h"
#include "settings/TOrvButton3D.h"
#include "settings/Utilgui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace {

const QColor corJanela(72, 113, 192);
constexpr int tempoPadrao = 120;  // the sequencer's tempo until a song sets one

Imagem *imagem(QWidget *pai, const char *nome, int esquerda, int topo, int largura, int altura,
               bool embutida = true)
{
    auto *img = new Imagem(pai, QString::fromLatin1(nome));
    img->setGeometry(esquerda, topo, largura, altura);
    if (embutida)
        img->setPixmap(ImagemEmbutida::carregar(img->objectName()));
    return img;
}

// A picture button: the pressed twin lies under the normal picture, hidden and
// deaf to the mouse; the normal picture shows the hand cursor.
Imagem *botao(QWidget *pai, const char *nome, int esquerda, int topo, int largura, int altura, Imagem *&pressionada,
              int topoPressionada = -1, int alturaPressionada = -1, bool embutida = true)
{
    pressionada = imagem(pai, (QByteArray(nome) + '2').constData(), esquerda,
                         topoPressionada < 0 ? topo : topoPressionada, largura,
                         alturaPressionada < 0 ? altura : alturaPressionada, embutida);
    pressionada->hide();
    pressionada->setAttribute(Qt::WA_TransparentForMouseEvents);
    Imagem *normal = imagem(pai, nome, esquerda, topo, largura, altura, embutida);
    normal->setCursor(Qt::PointingHandCursor);
    return normal;
}

QFrame *painel(QWidget *pai, const char *nome, int esquerda, int topo, int largura, int altura, const QColor &cor)
{
    auto *p = new QFrame(pai);
    p->setObjectName(QString::fromLatin1(nome));
    p->setFrameShape(QFrame::NoFrame);
    p->setGeometry(esquerda, topo, largura, altura);
    QPalette paleta = p->palette();
    paleta.setColor(QPalette::Window, cor);
    p->setPalette(paleta);
    p->setAutoFillBackground(true);
    return p;
}

// larguraCentrada > 0: a centred label in a box of at least that width.
QLabel *rotulo(QWidget *pai, const char *nome, int esquerda, int topo, const QString &texto, int larguraCentrada = 0)
{
    auto *r = new QLabel(pai);
    r->setObjectName(QString::fromLatin1(nome));
    r->setFont(Utilgui::fonte(9, true));  // bold at the layout's 9-pixel height
    QPalette paleta = r->palette();
    paleta.setColor(QPalette::WindowText, Qt::white);
    r->setPalette(paleta);
    r->move(esquerda, topo);
    if (larguraCentrada > 0) {
        r->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        r->setProperty("centro", esquerda * 2 + larguraCentrada);  // twice the centre: stays whole
        r->setProperty("larguraMinima", larguraCentrada);
    } else {
        r->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    DesenhoPrincipal::legendar(r, texto);
    return r;
}

QSlider *trilho(QWidget *pai, const char *nome, Qt::Orientation orientacao, int esquerda, int topo, int largura,
                int altura, int minimo, int maximo, int passoPagina, QSlider *feito = nullptr)
{
    QSlider *s = feito ? feito : new QSlider(orientacao, pai);
    s->setObjectName(QString::fromLatin1(nome));
    s->setGeometry(esquerda, topo, largura, altura);
    s->setRange(minimo, maximo);
    s->setPageStep(passoPagina);
    s->setTickPosition(QSlider::NoTicks);
    s->setCursor(Qt::PointingHandCursor);
    return s;
}

struct PecaTecla {
    const char *nome;
    int esquerda, topo, largura, altura;
};

// The key letters over the kit, shown while the keyboard help is open.
constexpr std::array<PecaTecla, 20> pecasTeclas{{
    {"imgTeclaAtaque2", 418, 125, 31, 31},    {"imgTecla2Caixa", 124, 207, 31, 31},
    {"imgTecla1Caixa", 154, 207, 31, 32},     {"imgTeclaAro", 199, 195, 31, 32},
    {"imgTeclaPedalChimbal", 90, 357, 45, 32}, {"imgTecla2Chimbal", 54, 108, 31, 31},
    {"imgTecla1Chimbal", 38, 138, 31, 31},    {"imgTecla1Tom1", 233, 142, 31, 31},
    {"imgTecla2Tom1", 249, 112, 31, 31},      {"imgTecla1Tom2", 306, 137, 31, 31},
    {"imgTecla2Tom2", 322, 107, 31, 31},      {"imgTecla1Surdo1", 383, 200, 31, 31},
    {"imgTecla2Surdo1", 399, 170, 31, 31},    {"imgTecla1Surdo2", 470, 217, 31, 31},
    {"imgTecla2Surdo2", 486, 187, 31, 31},    {"imgTeclaBombo", 213, 353, 131, 31},
    {"imgTeclaPrato1", 113, 23, 31, 31},      {"imgTeclaAtaque1", 216, 35, 31, 31},
    {"imgTeclaPrato2", 311, 28, 31, 31},      {"imgTeclaPrato3", 482, 59, 31, 31},
}};

}

void DesenhoPrincipal::legendar(QLabel *rotulo, const QString &texto)
{
    rotulo->setText(texto);
    const QFontMetrics medidas(rotulo->font());
    const int largura = medidas.horizontalAdvance(texto) + 2;
    const int altura = medidas.height();
    const QVariant centro = rotulo->property("centro");
    if (centro.isValid()) {
        const int caixa = std::max(largura, rotulo->property("larguraMinima").toInt());
        rotulo->setGeometry((centro.toInt() - caixa) / 2, rotulo->y(), caixa, altura);
    } else {
        rotulo->setGeometry(rotulo->x(), rotulo->y(), largura, altura);
    }
}

void DesenhoPrincipal::montar(TFormPrincipal &j)
{
    j.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    j.setFixedSize(793, 527);
    QPalette paleta = j.palette();
    paleta.setColor(QPalette::Window, corJanela);
    j.setPalette(paleta);
    j.setAutoFillBackground(true);
    if (QScreen *tela = QGuiApplication::primaryScreen())
        j.move(tela->availableGeometry().center() - j.rect().center());

    // Pictures, labels and the shape lie beneath every panel and control, as the
    // layout stacks them.
    j.imgCima = imagem(&j, "imgCima", 0, 0, 793, 78);
    j.imgBaixo = imagem(&j, "imgBaixo", 0, 432, 793, 96);
    j.Shape1 = painel(&j, "Shape1", 327, 475, 47, 36, corJanela);
    j.lblURL = imagem(&j, "lblURL", 65, 11, 144, 15, false);
    j.lblURL->setCursor(Qt::PointingHandCursor);
    j.imgURL = imagem(&j, "imgURL", 301, 7, 169, 21, false);
    j.imgURL->setCursor(Qt::PointingHandCursor);
    j.imgHelp = botao(&j, "imgHelp", 572, 6, 24, 24, j.imgHelp2);
    j.imgMin = botao(&j, "imgMin", 599, 6, 24, 24, j.imgMin2);
    j.imgFechar = botao(&j, "imgFechar", 626, 6, 24, 24, j.imgFechar2);
    j.imgOpen = botao(&j, "imgOpen", 8, 471, 83, 25, j.imgOpen2, -1, -1, false);
    j.imgSetup = botao(&j, "imgSetup", 8, 494, 83, 26, j.imgSetup2);
    j.imgStyles = botao(&j, "imgStyles", 545, 494, 82, 25, j.imgStyles2, 493, -1, false);
    j.imgTutorial = botao(&j, "imgTutorial", 545, 471, 83, 25, j.imgTutorial2, 470);
    j.imgRew = botao(&j, "imgRew", 111, 492, 40, 33, j.imgRew2, -1, 30);
    j.imgPlay = botao(&j, "imgPlay", 151, 492, 31, 31, j.imgPlay2);
    j.imgStop = botao(&j, "imgStop", 182, 492, 31, 31, j.imgStop2);
    j.imgPause = botao(&j, "imgPause", 213, 492, 30, 31, j.imgPause2);
    j.imgRepeat = botao(&j, "imgRepeat", 243, 492, 30, 31, j.imgRepeat2);
    j.imgFF = botao(&j, "imgFF", 273, 492, 39, 31, j.imgFF2);

    j.lblPlayer = rotulo(&j, "lblPlayer", 111, 460, QString());
    j.lblVelocidade = rotulo(&j, "lblVelocidade", 389, 472, QString());
    j.lblBPM = rotulo(&j, "lblBPM", 450, 472, QStringLiteral("0"), 26);
    j.lblVolume = rotulo(&j, "lblVolume", 331, 461, QString(), 36);
    j.lblTempo = rotulo(&j, "lblTempo", 195, 461, QString());
    j.lblTime = rotulo(&j, "lblTime", 234, 461, QStringLiteral("0"), 28);
    j.lblTotal = rotulo(&j, "lblTotal", 263, 461, QStringLiteral("Total:"));
    j.lblTimeTotal = rotulo(&j, "lblTimeTotal", 295, 461, QStringLiteral("0"), 30);
    j.lblTracks = rotulo(&j, "lblTracks", 656, 475, QStringLiteral("Tracks:"));
    j.lblPlayAlong = rotulo(&j, "lblPlayAlong", 477, 472, QStringLiteral("Play Along"));

    // Panels and controls, in the layout's order.
    j.pbBackGround = painel(&j, "pbBackGround", 0, 72, 795, 362, Qt::white);
    j.pnInstrumento = painel(&j, "pnInstrumento", 70, 39, 626, 414, Qt::white);
    // Double-buffered already: Qt paints every widget through the window's back buffer.
    PecasBateria::criar(j.pnInstrumento);
    for (size_t k = 0; k < pecasTeclas.size(); ++k) {
        const PecaTecla &peca = pecasTeclas[k];
        j.imagensTeclas[k] = imagem(j.pnInstrumento, peca.nome, peca.esquerda, peca.topo, peca.largura, peca.altura);
        j.imagensTeclas[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    j.pnOrv = painel(&j, "pnOrv", 0, 0, 135, 77, corJanela);
    j.imgOrv = imagem(j.pnOrv, "imgOrv", 0, 0, 135, 77);
    j.pnTamborly = painel(&j, "pnTamborly", 657, 0, 137, 75, corJanela);
    j.imgTamborlyLogo = imagem(j.pnTamborly, "imgTamborlyLogo", 0, 0, 137, 75, false);

    j.tkbAndamento = trilho(&j, "tkbAndamento", Qt::Horizontal, 109, 475, 205, 18, 0, 0, 75);
    // The design's range is the track bar's default 0..10; the window's construction makes it 0..100.
    // 0 at the top: the volume is the maximum minus the position, loudest at the top.
    j.tkbVol = trilho(&j, "tkbVol", Qt::Vertical, 339, 476, 20, 48, 0, 10, 5, new TrilhoVolume(&j));
    j.tkbBPM = trilho(&j, "tkbBPM", Qt::Horizontal, 387, 492, 79, 20, 40, 240, 5);
    // Before any song the tempo is the sequencer's default, not 0.
    j.tkbBPM->setValue(tempoPadrao);
    DesenhoPrincipal::legendar(j.lblBPM, QString::number(tempoPadrao));

    j.CmbTracks = new QComboBox(&j);
    j.CmbTracks->setObjectName(QStringLiteral("CmbTracks"));
    j.CmbTracks->setGeometry(655, 493, 120, 19);
    j.CmbTracks->setFont(Utilgui::fonte(10));

    j.ckKaraoke = new QCheckBox(&j);
    j.ckKaraoke->setObjectName(QStringLiteral("ckKaraoke"));
    j.ckKaraoke->setGeometry(496, 492, 14, 16);
    j.ckKaraoke->setCursor(Qt::PointingHandCursor);

    j.panelTecladoPequeno = painel(&j, "panelTecladoPequeno", 688, 397, 97, 48, Qt::white);
    j.imgTecladoPequeno = imagem(j.panelTecladoPequeno, "imgTecladoPequeno", -2, -1, 90, 41);
    j.imgTecladoPequeno->setCursor(Qt::PointingHandCursor);
    j.panelTecladoEsquema = painel(&j, "panelTecladoEsquema", 460, 306, 329, 137, Qt::white);
    j.imgTecladoEsquema = imagem(j.panelTecladoEsquema, "imgTecladoEsquema", -1, 0, 323, 137);
    j.panelBtnFecharAjuda = painel(&j, "panelBtnFecharAjuda", 725, 281, 58, 24, Qt::white);
    j.btnFecharAjudaAtalhos = new TOrvButton3D(j.panelBtnFecharAjuda);
    j.btnFecharAjudaAtalhos->setObjectName(QStringLiteral("btnFecharAjudaAtalhos"));
    j.btnFecharAjudaAtalhos->move(32, 0);
    const QPixmap fechar = ImagemEmbutida::carregar(QStringLiteral("btnFecharAjudaAtalhos"));
    j.btnFecharAjudaAtalhos->SetImagemPressionada(fechar);
    j.btnFecharAjudaAtalhos->SetImagemSolta(fechar);
    j.btnFecharAjudaAtalhos->setDButtonStyle(bsDropWhenPressed);
    if (fechar.isNull())
        j.btnFecharAjudaAtalhos->resize(25, 25);

    j.TimerPlayer = new QTimer(&j);
    j.TimerPlayer->setObjectName(QStringLiteral("TimerPlayer"));
    j.TimerPlayer->setInterval(100);
}
