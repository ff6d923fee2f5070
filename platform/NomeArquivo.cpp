#include "platform/NomeArquivo.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace {

bool existe(const QByteArray &caminho)
{
    struct stat info {};
    return ::lstat(caminho.constData(), &info) == 0;
}

// The entry of pasta (bytes) whose name decodes to nome, if any.
QByteArray procurarNaPasta(const QByteArray &pasta, const QString &nome)
{
    DIR *diretorio = ::opendir(pasta.isEmpty() ? "." : pasta.constData());
    if (!diretorio)
        return {};
    std::vector<QByteArray> iguais;
    while (const dirent *entrada = ::readdir(diretorio)) {
        const QByteArray bytes(entrada->d_name);
        if (QFile::decodeName(bytes) == nome)
            iguais.push_back(bytes);
    }
    ::closedir(diretorio);
    if (iguais.empty())
        return {};
    return *std::min_element(iguais.begin(), iguais.end());
}

}  // namespace

QByteArray NomeArquivo::codificar(const QString &caminho)
{
    const QByteArray direto = QFile::encodeName(caminho);
    // Only a name with a replacement character can have lost its bytes.
    if (!caminho.contains(QChar(QChar::ReplacementCharacter)) || existe(direto))
        return direto;
    QByteArray resultado = caminho.startsWith(QLatin1Char('/')) ? QByteArray("/") : QByteArray();
    const QStringList partes = caminho.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < partes.size(); ++i) {
        const QString &parte = partes[i];
        QByteArray bytes = QFile::encodeName(parte);
        const QByteArray tentativa = resultado + bytes;
        if (parte.contains(QChar(QChar::ReplacementCharacter)) && !existe(tentativa)) {
            const QByteArray achado = procurarNaPasta(resultado, parte);
            if (achado.isEmpty())
                return direto;
            bytes = achado;
        }
        resultado += bytes;
        if (i + 1 < partes.size())
            resultado += '/';
    }
    return resultado;
}

qint64 NomeArquivo::tamanho(const QString &caminho)
{
    struct stat info {};
    if (::stat(codificar(caminho).constData(), &info) != 0)
        return -1;
    return qint64(info.st_size);
}
