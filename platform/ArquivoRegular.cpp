#include "platform/ArquivoRegular.h"

#include "platform/NomeArquivo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ArquivoRegular::Falha falhaDoErro(int erro)
{
    switch (erro) {
    case ENOENT:
    case ENOTDIR:
        return ArquivoRegular::Falha::inexistente;
    case EACCES:
    case EPERM:
        return ArquivoRegular::Falha::semPermissao;
    case EISDIR:
    case ENXIO:  // a FIFO with no writer, a socket
        return ArquivoRegular::Falha::naoRegular;
    default:
        return ArquivoRegular::Falha::erroLeitura;
    }
}

}  // namespace

int ArquivoRegular::abrir(const QString &caminho, Falha *falha)
{
    Falha local = Falha::nenhuma;
    Falha &motivo = falha ? *falha : local;
    motivo = Falha::nenhuma;
    const int fd = ::open(NomeArquivo::codificar(caminho).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        motivo = falhaDoErro(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        motivo = Falha::naoRegular;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

std::optional<QByteArray> ArquivoRegular::ler(const QString &caminho, qint64 limite, Falha *falha)
{
    Falha local = Falha::nenhuma;
    Falha &motivo = falha ? *falha : local;
    const int fd = abrir(caminho, &motivo);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size > limite) {
        ::close(fd);
        motivo = Falha::grandeDemais;
        return std::nullopt;
    }
    // Files that report no size (under /proc) or grow while read stop at the limit too.
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char bloco[65536];
    for (;;) {
        const ssize_t lidos = ::read(fd, bloco, sizeof bloco);
        if (lidos < 0 && errno == EINTR)
            continue;
        if (lidos < 0) {
            ::close(fd);
            motivo = Falha::erroLeitura;
            return std::nullopt;
        }
        if (lidos == 0)
            break;
        if (bytes.size() + lidos > limite) {
            ::close(fd);
            motivo = Falha::grandeDemais;
            return std::nullopt;
        }
        bytes.append(bloco, qsizetype(lidos));
    }
    ::close(fd);
    return bytes;
}
