#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// One SVG drawing sheet, rendered at 1 user unit = 1 pixel in several states.
// A state names elements by id: "id" shows an element drawn with display="none",
// "!id" hides one. Every state is drawn from the same scene, so pictures cut
// from two states line up to the pixel.
class FolhaSvg {
public:
    // Reads the sheet and replaces each {{key}} with its word (XML-escaped).
    // False, with a message naming the file and the fault, when it cannot.
    bool carregar(const QString &caminho, const QHash<QString, QString> &palavras, QString &erro);

    QSize tamanho() const { return tamanhoFolha; }

    // The sheet in the state, over white. Cached per state.
    QImage renderizar(const QStringList &estado);
    // Only the elements the state shows (children of the root), on transparency:
    // the coverage that becomes an alpha mask.
    QImage renderizarSomente(const QStringList &estado);

    // True when every id the state names exists in the sheet.
    bool estadoValido(const QStringList &estado, QString &erro) const;

private:
    QImage desenhar(const QStringList &estado, bool somente, bool &ok);

    QString caminho;
    QByteArray texto;
    QSize tamanhoFolha;
    QStringList ids;
    QHash<QString, QImage> cache;
};
