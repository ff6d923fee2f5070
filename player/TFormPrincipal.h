#pragma once

#include "engine/AcessoGui.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class Imagem;
class TFormEscolherArquivo;
class PainelAvaliacao;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QSlider;
class QTimer;
class TOrvButton3D;

// The player window: a borderless 793 x 527 frame around the drum kit, with the
// transport, song opening, tempo/volume/position sliders, keyboard drumming,
// play-along and help. It is the engine's receiver of position and tempo reports.
class TFormPrincipal : public QWidget, public AcessoGui::Receptor {
    Q_OBJECT

public:
    // Builds the window and the drum kit (through the settings object); the
    // window must exist before the setup dialog and the wizard.
    explicit TFormPrincipal(QWidget *parent = nullptr);
    ~TFormPrincipal() override;

    // Play states.
    enum Estado : uint8_t {
        semMusica = 0,
        tocando = 1,
        pausado = 2,
        inicioMarcado = 3,
        repetindo = 4,
        parado = 5,
        adiantando = 6,
        voltando = 7,
    };

    // The engine's reports (through AcessoGui).
    void exibirAndamento(int32_t andamento) override;
    void exibirPosicao() override;
    void exibirAvaliacao() override;

    // Loads the song and starts playing it; what the Open and Styles buttons run.
    void abrirMusica(const QString &nomeArquivo);
    // The Open and Styles dialogs as their buttons show them: filter and folder set.
    std::unique_ptr<TFormEscolherArquivo> criarDlgOpen();
    std::unique_ptr<TFormEscolherArquivo> criarDlgRitmos();
    // Shows a dialog modally and gives its result; a test answers in its place.
    static std::function<int(TFormEscolherArquivo &)> mostrarDialogo;
    // Songs from this size on are read off the GUI thread, behind a progress
    // dialog whose Cancel keeps the previous song (a test may lower it).
    static inline qint64 limiteLeituraDireta = 4 * 1024 * 1024;
    // Stop: the Stop button and the song's end.
    void pararMusica();
    // The drum keys: a key code (letters as upper-case ASCII, Space 0x20), the
    // modifiers (Ctrl is the hi-hat pedal) and whether the key went down.
    void processarTecla(uint16_t tecla, Qt::KeyboardModifiers shift, bool baixo);
    // A keyboard stroke's note-on; a failing output is reported once until the device is set up again.
    void tocarNotaTeclado(uint32_t nota);
    // Reads the song on a worker thread while a progress dialog runs; false when
    // the user cancelled (the previous song stays current). Throws as
    // SaidaMIDI::carregarArquivo does.
    bool carregarEmSegundoPlano(const QString &nomeArquivo);
    void mostrarAjudaTeclado(bool mostrar);
    // One message from the drum kit (the MIDI input), arrived at instante (us of
    // CLOCK_MONOTONIC): a note-on strikes like a drum key, the hi-hat pedal and foot
    // controller move the hi-hat, and in Play Along the hit is scored.
    void receberKit(uint8_t status, uint8_t dado1, uint8_t dado2, int64_t instante);

    uint8_t getEstado() const { return estado; }
    uint8_t getEstadoAnterior() const { return estadoAnterior; }
    uint8_t getEstadoAntesDaPausa() const { return estadoAntesDaPausa; }
    int32_t getTempoAtual() const { return tempoAtual; }
    int32_t getTempoTotal() const { return tempoTotal; }
    int32_t getNumTrilhasBateria() const { return numTrilhasBateria; }
    int32_t getTrilhaBateria(int entrada) const { return trilhasBateria.at(size_t(entrada)); }
    bool teclaPressionada(int slot) const { return teclasPressionadas.at(size_t(slot)); }
    // Whether the first showing has opened the output device (or tried to).
    bool dispositivoIniciado() const { return iniciado; }
    // The folder in which the Styles dialog starts.
    QString getPastaRitmos() const { return pastaRitmos; }
    // The picture-button table: normal picture at 2k, pressed twin at 2k + 1.
    Imagem *imagemBotao(int tag) const { return imagensBotoes.at(size_t(tag)); }

    // Components, owned by the window (named after the layout, so that tests and
    // the drum kit find them).
    Imagem *imgCima, *imgBaixo;
    QFrame *pbBackGround, *pnInstrumento;
    QFrame *pnOrv, *pnTamborly;
    Imagem *imgOrv, *imgTamborlyLogo, *imgURL;
    Imagem *lblURL;  // a transparent label without text: the link over the maker's logo
    Imagem *imgHelp, *imgHelp2, *imgMin, *imgMin2, *imgFechar, *imgFechar2;
    Imagem *imgOpen, *imgOpen2, *imgSetup, *imgSetup2, *imgStyles, *imgStyles2;
    Imagem *imgTutorial, *imgTutorial2;
    Imagem *imgRew, *imgRew2, *imgPlay, *imgPlay2, *imgStop, *imgStop2;
    Imagem *imgPause, *imgPause2, *imgRepeat, *imgRepeat2, *imgFF, *imgFF2;
    QLabel *lblPlayer;
    QSlider *tkbBPM, *tkbVol, *tkbAndamento;
    QLabel *lblVelocidade, *lblBPM, *lblVolume, *lblTempo, *lblTime, *lblTotal, *lblTimeTotal;
    QFrame *Shape1;
    QLabel *lblTracks;
    QComboBox *CmbTracks;
    QLabel *lblPlayAlong;
    QCheckBox *ckKaraoke;
    QFrame *panelTecladoPequeno, *panelTecladoEsquema, *panelBtnFecharAjuda;
    Imagem *imgTecladoPequeno, *imgTecladoEsquema;
    TOrvButton3D *btnFecharAjudaAtalhos;
    std::array<Imagem *, 20> imagensTeclas{};  // the key pictures over the kit
    QTimer *TimerPlayer;
    PainelAvaliacao *painelAvaliacao;  // Play Along feedback over the kit

public slots:
    // Picture buttons.
    void imgMouseDown(Imagem *imagem);
    void imgMouseUp(Imagem *imagem);
    void imgCimaMouseDown(Qt::MouseButton botao);
    void imgMinClick();
    void imgFecharClick();
    void imgSetupClick();
    // Transport.
    void imgPlayClick();
    void imgPauseClick();
    void imgStopClick();
    void imgRepeatClick();
    void imgFFMouseDown();
    void imgRewMouseDown();
    void imgFFRewMouseUp(Imagem *imagem);
    void TimerPlayerTimer();
    // Song opening and the track selector.
    void imgOpenClick();
    void imgStylesClick();
    void CmbTracksChange(int indice);
    // Sliders.
    void tkbBPMChange();
    void tkbVolChange();
    void tkbAndamentoChange();
    // Keyboard, play-along and help.
    void ckKaraokeClick();
    void imgTecladoPequenoClick();
    void btnFecharAjudaAtalhosClick();
    void imgHelpClick();
    void imgTutorialClick();
    void imgURLClick();
    void lblURLClick();

protected:
    void showEvent(QShowEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void changeEvent(QEvent *evento) override;
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void aplicarIdioma();
    // Every text and picture again from the language just loaded.
    void trocarIdioma();

    void FormShow();
    bool FormCloseQuery();
    void FormKeyDown(uint16_t tecla, Qt::KeyboardModifiers shift);
    void FormKeyUp(uint16_t tecla, Qt::KeyboardModifiers shift);
    void iniciarDispositivo();
    void iniciarBusca();
    void terminarBusca();
    // Whether the object is the open list of one of this window's controls.
    bool ehJanelaDeLista(QObject *objeto) const;
    // The deactivated window keeps no key held and no seek running.
    void perderAtivacao();
    // Opens the stored drum kit; a missing one is reported once and kept.
    void abrirEntrada();
    // A hit, scored in Play Along while the song plays, the calibrated latency taken off.
    void pontuar(int32_t nota, int64_t instante);

    // lblBPM: the tempo, with the speed beside it when that is not 100 %.
    void mostrarAndamento(int bpm);
    void status(const char *chave);
    void mensagem(const char *secao, const char *chave);
    void abrirDocumentoAjuda(const char *secao, const char *chave, const char *naoEncontrado);

    int32_t tempoAtual = 0;
    int32_t tempoTotal = 0;
    bool atualizandoPosicao = false;
    int32_t numTrilhasBateria = 0;
    std::array<int32_t, 16> trilhasBateria{};
    std::array<Imagem *, 26> imagensBotoes{};
    uint8_t estado = semMusica;
    uint8_t estadoAnterior = semMusica;
    uint8_t estadoAntesDaPausa = semMusica;
    std::array<bool, 20> teclasPressionadas{};
    bool falhaTecladoAvisada = false;  // the output's failure was reported; strokes stay quiet
    bool iniciado = false;
    QString pastaRitmos;
    QString pastaAbrir;  // the folder the Open dialog last confirmed a file in
    int64_t instanteTecla = 0;  // when the key being handled arrived; 0 outside the key filter
    const char *chaveStatus = nullptr;  // the key of the status shown; none before the first
};
