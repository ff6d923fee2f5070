#include "platform/BuscaArquivos.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool igualSemCaixa(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// Names of the ordinary visible files, as the file system's own bytes, sorted.
std::vector<std::string> arquivosComuns(const QString &pasta)
{
    std::vector<std::string> nomes;
    std::error_code erro;
    fs::directory_iterator it(fs::path(QFile::encodeName(pasta).toStdString()), erro);
    if (erro)
        return nomes;
    for (const fs::directory_entry &entrada : it) {
        std::error_code e;
        if (!entrada.is_regular_file(e) || e)
            continue;
        std::string nome = entrada.path().filename().string();
        if (nome.empty() || nome[0] == '.')
            continue;
        nomes.push_back(std::move(nome));
    }
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

}

QStringList BuscaArquivos::listar(const QString &pasta, const QString &extensao)
{
    const std::string procurada = QFile::encodeName(extensao).toStdString();
    QStringList encontrados;
    for (const std::string &nome : arquivosComuns(pasta)) {
        const size_t ponto = nome.rfind('.');
        if (ponto == std::string::npos || ponto == 0)
            continue;
        if (igualSemCaixa(nome.substr(ponto + 1), procurada))
            encontrados.append(QFile::decodeName(QByteArray::fromStdString(nome)));
    }
    return encontrados;
}

QString BuscaArquivos::resolver(const QString &pasta, const QString &nome)
{
    const std::string procurado = QFile::encodeName(nome).toStdString();
    const std::vector<std::string> nomes = arquivosComuns(pasta);
    if (std::binary_search(nomes.begin(), nomes.end(), procurado))
        return nome;
    for (const std::string &candidato : nomes)
        if (igualSemCaixa(candidato, procurado))
            return QFile::decodeName(QByteArray::fromStdString(candidato));
    return nome;
}
