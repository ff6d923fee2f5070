#include "platform/GravacaoSegura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool escreverTudo(int fd, const char *dados, size_t tamanho)
{
    while (tamanho > 0) {
        const ssize_t escritos = ::write(fd, dados, tamanho);
        if (escritos < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (escritos == 0)
            return false;
        dados += escritos;
        tamanho -= size_t(escritos);
    }
    return true;
}

// The six characters mkstemp puts in place of XXXXXX.
bool sufixoTemporario(const QString &nome, const QString &base)
{
    if (nome.size() != base.size() + 7 || !nome.startsWith(base) || nome[base.size()] != QLatin1Char('.'))
        return false;
    for (qsizetype i = base.size() + 1; i < nome.size(); ++i) {
        const char16_t c = nome[i].unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

}  // namespace

bool GravacaoSegura::gravar(const QString &caminho, const QByteArray &bytes)
{
    QByteArray modelo = QFile::encodeName(caminho) + ".XXXXXX";
    const int fd = ::mkostemp(modelo.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool certo = escreverTudo(fd, bytes.constData(), size_t(bytes.size()));
    certo = certo && ::fdatasync(fd) == 0;
    // A file that already exists keeps its permissions; a new one gets the usual 0644 less the umask.
    struct stat antigo {};
    if (certo) {
        if (::stat(QFile::encodeName(caminho).constData(), &antigo) == 0) {
            ::fchmod(fd, antigo.st_mode & 07777);
        } else {
            const mode_t mascara = ::umask(0);
            ::umask(mascara);
            ::fchmod(fd, 0666 & ~mascara);
        }
    }
    certo = ::close(fd) == 0 && certo;
    certo = certo && ::rename(modelo.constData(), QFile::encodeName(caminho).constData()) == 0;
    if (!certo) {
        ::unlink(modelo.constData());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const QByteArray pasta = QFile::encodeName(QFileInfo(caminho).absolutePath());
    const int fdPasta = ::open(pasta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdPasta >= 0) {
        ::fsync(fdPasta);
        ::close(fdPasta);
    }
    return true;
}

void GravacaoSegura::removerSobras(const QString &caminho)
{
    const QFileInfo alvo(caminho);
    const QString base = alvo.fileName();
    QDir pasta = alvo.absoluteDir();
    const QStringList candidatos = pasta.entryList({base + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &nome : candidatos) {
        if (sufixoTemporario(nome, base))
            pasta.remove(nome);
    }
}
