#pragma once

#include <QString>

// Where the driver library is looked for, the same for the toolkit's binding and the
// device names: the copy beside the executable wins over any other one on the system.
class BibliotecaDriver {
public:
    // libSnMidi32.so in the application folder.
    static QString arquivoLocal();
    // dlopen of arquivo (RTLD_NOW | RTLD_LOCAL) and, when that fails and procurar is
    // true, of libSnMidi32.so by the normal search; null when neither loads.
    static void *abrir(const QString &arquivo, bool procurar);
};
