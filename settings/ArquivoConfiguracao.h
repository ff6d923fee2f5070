#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

class ArquivoPerfil;
class Instrumento;

// The player's persistent settings (output device, master volume, language)
// and two run-time items every window reaches through it: the per-track
// enabled flags and the on-screen instrument. The settings file lies beside the
// executable, or in the user's configuration folder when the program's folder
// cannot be written (PastaAplicacao::arquivoConfiguracaoGravado), and is read
// once, at the first instancia().
class ArquivoConfiguracao {
public:
    static ArquivoConfiguracao &instancia();

    // Reads the settings of an executable of that file name from the application
    // folder (or the user's, see above). instancia() uses the running executable's name; tests build their own.
    explicit ArquivoConfiguracao(const QString &nomeExecutavel);
    ~ArquivoConfiguracao();
    ArquivoConfiguracao(const ArquivoConfiguracao &) = delete;
    ArquivoConfiguracao &operator=(const ArquivoConfiguracao &) = delete;

    // The settings file's name without folder: "Tamborly.exe" gives "Tamborly.ini",
    // a name without a three-letter extension gets ".ini" appended.
    static QString nomeConfiguracao(const QString &nomeExecutavel);
    QString getNomeArquivo() const { return nomeArquivo; }

    // Device index in SaidaMIDI::listarDispositivos; -1: none chosen yet.
    int32_t getDriver() const { return driver; }
    void setDriver(int32_t valor) { driver = valor; }
    int32_t getVolume() const { return volume; }
    void setVolume(int32_t valor) { volume = valor; }
    QString getIdioma() const { return idioma; }
    // Records the language actually in use; written by the next salvar().
    void setIdioma(const QString &valor) { idioma = valor; }

    // The drum kit played into Tamborly: the input device by name (empty: none), kept
    // even while it is missing; whether its hits sound through the output device; the
    // calibrated latency (ms) taken off every hit, with the spread it was measured with.
    QString getEntrada() const { return entrada; }
    void setEntrada(const QString &valor) { entrada = valor; }
    bool getSomKit() const { return somKit; }
    void setSomKit(bool valor) { somKit = valor; }
    double getLatencia() const { return latencia; }
    double getLatenciaDispersao() const { return latenciaDispersao; }
    void setLatencia(double valor, double dispersao);

    // Practice settings (the setup dialog's Practice tab), kept after the four
    // lines of the settings file. Speeds in percent of the song's own tempo.
    struct Pratica {
        bool contagem = false;        // count in one bar before playing
        bool metronomo = false;       // click on every beat
        int32_t volumeMetronomo = 80; // 0..100
        bool treino = false;          // the tempo trainer at each repeat of the loop
        int32_t treinoInicio = 70;    // 25..200
        int32_t treinoPasso = 5;      // 1..50
        int32_t treinoAlvo = 100;     // 25..200
    };
    Pratica getPratica() const { return pratica; }
    // Values outside their ranges are brought into them.
    void setPratica(const Pratica &valor);

    // Flag of track indice of the current song; tracks 16 and beyond have no
    // flag and are always enabled.
    bool canalAtivo(int32_t indice) const;
    // Value first, then the index; indexes outside 0..15 are ignored.
    void setCanalAtivo(bool valor, int32_t indice);

    // Builds the on-screen instrument (once, while the player window is built).
    void criarInstrumento(int32_t tipo);
    // The instrument, owned by this object; null before criarInstrumento.
    Instrumento *getInstrumento() const { return instrumento.get(); }
    // Test seam: installs another instrument (e.g. one that records its calls),
    // deleting the previous one.
    void setInstrumento(std::unique_ptr<Instrumento> novo);

    // Writes the four-line settings file, replacing the old one atomically.
    // False when it could not be written (a full disk, a read-only folder): the
    // old file stays as it was and the values in memory stay.
    bool salvar();

private:
    void carregar();
    void carregarKit(const class ArquivoPerfil &perfil);
    void carregarPratica(const ArquivoPerfil &perfil);
    void acrescentarPratica(QStringList &linhas) const;

    QString nomeArquivo;
    QString idioma;
    int32_t driver = 0;
    int32_t tipoInstrumento = 0;
    int32_t volume = 127;
    int32_t visualizacao = 0;
    std::array<bool, 16> canaisAtivos{};
    Pratica pratica;
    std::unique_ptr<Instrumento> instrumento;  // owned; absent until criarInstrumento
    QString entrada;
    bool somKit = false;  // a drum module sounds by itself
    double latencia = 0;
    double latenciaDispersao = 0;
};
