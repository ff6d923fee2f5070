#include "common/PastaTemporaria.h"

#include "platform/PastaAplicacao.h"

#include <QFile>

#include <filesystem>
#include <set>

namespace {

// By the file system's own bytes: Qt cannot delete a name that is not UTF-8, and
// the suites make such names on purpose.
void apagar(const QString &pasta)
{
    std::error_code erro;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(pasta).toStdString()), erro);
}

std::set<PastaTemporaria *> &vivas()
{
    // Never destroyed: apagarRestantes runs at exit, after other statics may be gone.
    static auto *instancias = new std::set<PastaTemporaria *>;
    return *instancias;
}

}  // namespace

PastaTemporaria::PastaTemporaria(const QStringList &copiar)
{
    namespace fs = std::filesystem;
    for (const QString &nome : copiar) {
        const fs::path origem = fs::path(pastaConstruida().toStdString()) / nome.toStdString();
        const fs::path destino = fs::path(caminho().toStdString()) / nome.toStdString();
        std::error_code erro;
        fs::copy(origem, destino, fs::copy_options::recursive | fs::copy_options::overwrite_existing, erro);
    }
    PastaAplicacao::definir(caminho());
    vivas().insert(this);
}

PastaTemporaria::~PastaTemporaria()
{
    vivas().erase(this);
    PastaAplicacao::definir(QString());
    apagar(caminho());
}

void PastaTemporaria::apagarRestantes()
{
    for (PastaTemporaria *restante : vivas())
        apagar(restante->caminho());
}

QString PastaTemporaria::caminho() const
{
    return pasta.path();
}

QString PastaTemporaria::arquivo(const QString &nome) const
{
    return pasta.path() + QLatin1Char('/') + nome;
}

QString PastaTemporaria::escrever(const QString &nome, const QByteArray &conteudo) const
{
    QFile destino(arquivo(nome));
    if (!destino.open(QIODevice::WriteOnly | QIODevice::Truncate) || destino.write(conteudo) != conteudo.size())
        return QString();
    return destino.fileName();
}

QByteArray PastaTemporaria::ler(const QString &nome) const
{
    QFile origem(arquivo(nome));
    return origem.open(QIODevice::ReadOnly) ? origem.readAll() : QByteArray("<missing>");
}

QString PastaTemporaria::pastaConstruida()
{
    return QStringLiteral(TAMBORLY_BUILD_APP_DIR);
}
