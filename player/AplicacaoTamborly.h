#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <optional>

// The application object. Its notify is the last net of the event loop: an
// error that a handler lets escape ends that handler only and is reported.
class AplicacaoTamborly : public QApplication {
    Q_OBJECT

public:
    AplicacaoTamborly(int &argc, char **argv);

    bool notify(QObject *receptor, QEvent *evento) override;

    // Start-up in order (settings, language, screen check, splash, windows),
    // the event loop, and the top-level handler around all of it. Returns the
    // program's exit code: 0 in every case.
    static int executar();

    // The application title (the task-bar text), set during start-up.
    static QString titulo();

    struct Relato {
        QString texto;
        QString titulo;
    };
    // The top-level handler's message for an error that escaped start-up, with
    // the program's version text (empty: no version part).
    static Relato relatoErroFatal(std::exception_ptr erro, const QString &versao);
    // The event loop's message for an error that escaped a handler; none for
    // the silent kind, which is not reported.
    static std::optional<QString> mensagemErroDoLaco(std::exception_ptr erro);
    // Shows the event loop's report (error icon, the application title).
    static void relatarErroDoLaco(std::exception_ptr erro);

private:
    static int iniciar();
    // Closes the sync clock and the output port once the event loop has returned.
    static void fecharMidi();
};
