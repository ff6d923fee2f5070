#pragma once

#include <QString>

// Hands work to the desktop: starting programs and opening documents.
class Util {
public:
    // Starts a program detached with its parameters, without a shell. The
    // volume control "sndvol32.exe" starts the desktop's mixer and the browser
    // "iexplore.exe" opens its parameter in the default browser. Raises
    // EFOpenError with an empty message when the program cannot be started.
    static void executarPrograma(const QString &programa, const QString &parametros);
    // Opens a web address or a document file in the default browser; false when
    // it could not be handed to one. Raises nothing.
    static bool abrirDocumento(const QString &documento);
};
