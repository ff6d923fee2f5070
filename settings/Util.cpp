#include "settings/Util.h"

#include "platform/MisturadorDesktop.h"
#include "platform/Navegador.h"
#include "platform/ProgramaExterno.h"
#include "settings/EFOpenError.h"

#include <QProcess>

void Util::executarPrograma(const QString &programa, const QString &parametros)
{
    bool iniciado = false;
    // The two programs the windows name are the Windows volume control and
    // browser; here they are the desktop's mixer and default browser.
    if (programa.compare(QLatin1String("sndvol32.exe"), Qt::CaseInsensitive) == 0)
        iniciado = MisturadorDesktop::iniciar();
    else if (programa.compare(QLatin1String("iexplore.exe"), Qt::CaseInsensitive) == 0)
        iniciado = Navegador::abrir(parametros.trimmed());
    else
        // The parameter text is split into arguments by its quoting rules;
        // no shell ever sees it.
        iniciado = ProgramaExterno::iniciar(programa, QProcess::splitCommand(parametros));
    if (!iniciado)
        throw EFOpenError(std::string());
}

bool Util::abrirDocumento(const QString &documento)
{
    try {
        return Navegador::abrir(documento);
    } catch (...) {
        return false;
    }
}
