#include "settings/TradutorQt.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator> &tradutor()
{
    static std::unique_ptr<QTranslator> instalado;
    return instalado;
}

QString &codigoAtual()
{
    static QString codigo;
    return codigo;
}

}  // namespace

bool TradutorQt::aplicar(const QString &codigoLocal)
{
    auto novo = std::make_unique<QTranslator>();
    const bool carregado = !codigoLocal.isEmpty()
        && novo->load(QLocale(codigoLocal), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (tradutor())
        QCoreApplication::removeTranslator(tradutor().get());
    tradutor().reset();
    codigoAtual().clear();
    if (carregado) {
        QCoreApplication::installTranslator(novo.get());
        tradutor() = std::move(novo);
        codigoAtual() = codigoLocal;
    }
    // Installing or removing a translator tells the windows already; a switch
    // between two languages Qt has no translations for must tell them too.
    if (QCoreApplication::instance()) {
        QEvent mudanca(QEvent::LanguageChange);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &mudanca);
    }
    return carregado;
}

QString TradutorQt::getCodigoLocal()
{
    return codigoAtual();
}
