#pragma once

#include "platform/Windows1252.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

// Writing language files and waiting on conditions, for the language suites.
namespace ArquivosIdioma {

// A language text file in Windows-1252 with CR LF line ends.
inline QByteArray texto(const QString &conteudo)
{
    QString comCrLf = conteudo;
    comCrLf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return Windows1252::codificar(comCrLf);
}

inline void gravar(const QString &caminho, const QByteArray &bytes)
{
    QFile arquivo(caminho);
    ASSERT_TRUE(arquivo.open(QIODevice::WriteOnly)) << qPrintable(caminho);
    ASSERT_EQ(arquivo.write(bytes), bytes.size());
}

// A valid header naming the language, and one text to tell the files apart.
inline QByteArray idioma(const QString &nome, const QString &codigo = QStringLiteral("Tamborly"),
                         const QString &marca = QString())
{
    return texto(QStringLiteral("[EspecificacaoIdioma]\nnomeIdioma=%1\ncodAplicacao=%2\n[geral]\nmarca=%3\n")
                     .arg(nome, codigo, marca));
}

// Runs the event loop until the condition holds or a generous deadline passes.
inline bool esperar(const std::function<bool()> &condicao, int milissegundos = 30000)
{
    QDeadlineTimer prazo(milissegundos);
    while (!condicao()) {
        if (prazo.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

}
