#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// One picture to cut from a sheet.
struct Figura {
    QString nome;            // component name: the file is <nome>.jpg (or .png)
    QStringList estado;      // the sheet's state it is cut from
    QRect retangulo;         // in sheet pixels
    QStringList mascara;     // elements whose coverage becomes <nome>.mask.png; empty for none
    bool png = false;        // written as PNG with alpha instead of JPEG (the icon)
    int linha = 0;
};

// The picture list of a sheet: one picture per line,
//   name  state  rectangle  [mask=id+id...]  [png]
// where state is "-" (the sheet as drawn) or ids joined with "+" ("!id" hides),
// and rectangle is "x,y,w,h", "kit" (the kit table's rectangle of that name)
// or "sheet" (the whole sheet). "#" starts a comment.
class ListaFiguras {
public:
    // False, with a message naming the file and line, on any fault.
    static bool ler(const QString &caminho, QList<Figura> &figuras, QString &erro);

    // The files the render tool writes for these pictures into the folder saida:
    // <nome>.jpg, with <nome>.mask.png where a mask is asked, or <nome>.png.
    static QStringList saidas(const QList<Figura> &figuras, const QString &saida);
    // The whole render of each state the pictures are cut from, once each, as
    // <renders>/<state>.png: what --renders writes.
    static QStringList renders(const QList<Figura> &figuras, const QString &pasta);
    // A state's file name: "rest" for the sheet as drawn, ids joined with "+", "!" as "not-".
    static QString nomeDoEstado(const QStringList &estado);
};
