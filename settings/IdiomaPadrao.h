#pragma once

#include <QList>
#include <QString>

class Idioma;

// What every language file must hold, and the texts to fall back on: the list
// of keys and the English texts are compiled into the program from the same
// sources the language files are packed from.
class IdiomaPadrao {
public:
    struct Chave {
        QString secao;
        QString chave;
        bool imagem = false;  // a picture range into the picture file
    };
    // Every (section, key) the program looks up, in the order of the list.
    static const QList<Chave> &chaves();
    // The built-in English texts (pictures excepted).
    static const Idioma &ingles();
    // Whether a language holds every key with a value, and every picture key
    // gives a valid picture of its picture file.
    static bool completo(Idioma &idioma);
};
