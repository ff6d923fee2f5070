#pragma once

#include <QString>

// Qt's own texts (the file dialog, the Yes and No buttons of a question) in the
// language of the loaded language file, from the translations Qt installs.
class TradutorQt {
public:
    // Replaces Qt's translations with those of the locale ("pt_BR"); an empty
    // code, or one Qt has no translations for, leaves Qt's English. Every window
    // then receives a LanguageChange event. Whether translations were installed.
    static bool aplicar(const QString &codigoLocal);
    // The locale code of the translations in use; empty for Qt's English.
    static QString getCodigoLocal();
};
