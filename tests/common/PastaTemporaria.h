#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh application folder for one test: the application folder points at it
// while it lives. Copies the named files or folders from the built application
// folder (e.g. "libSnMidi32.so", "English.idm", "styles").
class PastaTemporaria {
public:
    explicit PastaTemporaria(const QStringList &copiar = {QStringLiteral("libSnMidi32.so")});
    ~PastaTemporaria();
    PastaTemporaria(const PastaTemporaria &) = delete;
    PastaTemporaria &operator=(const PastaTemporaria &) = delete;

    QString caminho() const;
    QString arquivo(const QString &nome) const;
    // Writes a file of the folder; its full name, or the empty text when it cannot.
    QString escrever(const QString &nome, const QByteArray &conteudo) const;
    // A file's contents; "<missing>" when it cannot be read.
    QByteArray ler(const QString &nome) const;
    // The application folder produced by the build.
    static QString pastaConstruida();
    // Deletes the folders of the instances still alive: a suite's own folder lives to
    // the end of the process on purpose (the library reads it until then), so the
    // test main has this run at exit, and a run leaves nothing in the temporary folder.
    static void apagarRestantes();

private:
    QTemporaryDir pasta;
};
