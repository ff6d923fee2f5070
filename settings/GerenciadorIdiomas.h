#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <memory>

class Idioma;
class TformListaIdiomas;

// The single language manager: discovers the languages installed in the
// application folder, makes one current and answers the windows' lookups.
class GerenciadorIdiomas {
public:
    // Discovers the languages of the application folder; with none it shows the
    // "No language files were found" message and tells the application to stop.
    GerenciadorIdiomas();
    ~GerenciadorIdiomas();
    GerenciadorIdiomas(const GerenciadorIdiomas &) = delete;
    GerenciadorIdiomas &operator=(const GerenciadorIdiomas &) = delete;

    // The single manager; the first call constructs it, which discovers the languages.
    static GerenciadorIdiomas *instancia();
    // Drops the single manager, so that the next instancia() discovers again
    // (for a run whose application folder has been pointed elsewhere).
    static void descartarInstancia();

    // Makes the language of that display name current (any letter case), or
    // lets the user choose one; none when no language could be made current.
    Idioma *selecionarIdioma(const QString &nome);
    // The text of ('secao','chave') in the loaded language, or the empty text.
    QString obterTexto(const QString &secao, const QString &chave) const;
    // obterTexto of the single manager, for the fixed names a window looks up.
    static QString texto(const char *secao, const char *chave);
    // The same with the language file's line breaks (CR LF, or a lone CR) made the bare
    // line feed that a widget wants.
    static QString textoDeRotulo(const char *secao, const char *chave);
    // A new picture for ('secao','chave'), or a null pixmap; the caller owns it.
    QPixmap obterImagem(const QString &secao, const QString &chave) const;
    bool idiomaCarregado() const;
    // Runs the chooser and loads the chosen language; false when none was chosen.
    bool escolherIdioma();
    // Loads the language at an index of the discovered names, with Qt's own
    // translations for it; every window gets a LanguageChange event. None for an
    // index out of range. A text file that cannot be read raises EFOpenError and
    // keeps the language that was current.
    Idioma *carregar(int indice);

    // The display name of the loaded language, the empty text with none loaded.
    QString getNomeIdioma() const;
    const QStringList &getNomes() const { return nomes; }
    const QStringList &getArquivos() const { return arquivos; }
    int getIndiceAtual() const { return indiceAtual; }
    Idioma *getIdiomaAtual() const { return idiomaAtual.get(); }
    // Whether the manager has told the application to stop.
    bool getEncerrando() const { return encerrando; }

private:
    void descobrir();
    // Of the files that claim one name, drops the incomplete ones when a complete
    // one exists, each with a message naming it.
    void descartarIncompletos(const QString &pasta);
    void encerrarAplicacao();

    std::unique_ptr<Idioma> idiomaAtual;
    QStringList nomes;
    QStringList arquivos;
    int indiceAtual = -1;
    std::unique_ptr<TformListaIdiomas> dialogo;
    bool encerrando = false;
};
