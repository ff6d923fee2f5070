#pragma once

#include <QString>
#include <QUrl>

// The desktop's default web browser.
class Navegador {
public:
    // A web address (a text that starts with a scheme and "//", or "mailto:")
    // as it is; anything else is a local file, a relative one taken from the
    // application folder. An empty text gives an empty address.
    static QUrl endereco(const QString &documento);
    // Hands the document or address to the default browser
    // (QDesktopServices::openUrl); false when it could not be handed over.
    static bool abrir(const QString &documento);
};
