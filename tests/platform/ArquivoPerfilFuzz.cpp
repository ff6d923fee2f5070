// libFuzzer target: the settings reader. Any bytes are read as a settings file;
// the three settings are written back the way the player saves them and read
// again, and must come back the same.

#include "platform/ArquivoPerfil.h"
#include "platform/Windows1252.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> pasta;

const QString secao = QStringLiteral("geral");

QString ler(const ArquivoPerfil &perfil, const char *chave)
{
    return perfil.lerTexto(secao, QString::fromLatin1(chave), QStringLiteral("<none>"));
}

// A value survives a save when the code page holds it and the reader would not
// take a pair of quotes around it off.
bool guardavel(const QString &valor)
{
    if (Windows1252::decodificar(Windows1252::codificar(valor)) != valor)
        return false;
    if (valor.size() >= 2 && (valor.front() == QLatin1Char('"') || valor.front() == QLatin1Char('\'')) && valor.back() == valor.front())
        return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dados, size_t tamanho)
{
    if (!pasta)
        pasta = std::make_unique<QTemporaryDir>();
    const QString caminho = pasta->filePath(QStringLiteral("t.ini"));
    {
        QFile arquivo(caminho);
        if (!arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        arquivo.write(reinterpret_cast<const char *>(dados), static_cast<qsizetype>(tamanho));
    }
    const ArquivoPerfil perfil(caminho);
    perfil.secoes();
    for (const QString &s : perfil.secoes())
        perfil.chaves(s);
    const QString driver = ler(perfil, "driver");
    const QString volume = ler(perfil, "volume");
    const QString idioma = ler(perfil, "idioma");
    if (!ArquivoPerfil::gravarLinhas(caminho, {QStringLiteral("[geral]"), QStringLiteral("driver=") + driver,
                                               QStringLiteral("volume=") + volume, QStringLiteral("idioma=") + idioma}))
        std::abort();
    const ArquivoPerfil relido(caminho);
    for (const auto &[chave, valor] : {std::pair{"driver", driver}, std::pair{"volume", volume}, std::pair{"idioma", idioma}}) {
        if (guardavel(valor) && ler(relido, chave) != valor)
            std::abort();
    }
    return 0;
}
