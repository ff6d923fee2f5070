#include "platform/BibliotecaDriver.h"

#include "platform/PastaAplicacao.h"

#include <QFile>

#include <dlfcn.h>

namespace {
const char *const nomeBiblioteca = "libSnMidi32.so";
}

QString BibliotecaDriver::arquivoLocal()
{
    return PastaAplicacao::arquivo(QString::fromLatin1(nomeBiblioteca));
}

void *BibliotecaDriver::abrir(const QString &arquivo, bool procurar)
{
    void *handle = dlopen(QFile::encodeName(arquivo).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && procurar)
        handle = dlopen(nomeBiblioteca, RTLD_NOW | RTLD_LOCAL);
    return handle;
}
