#include "platform/MisturadorDesktop.h"

#include "platform/ProgramaExterno.h"

#include <QStringList>

bool MisturadorDesktop::iniciar()
{
    struct Misturador {
        const char *programa;
        const char *argumento;
    };
    static constexpr Misturador misturadores[] = {
        {"pavucontrol", nullptr},
        {"gnome-control-center", "sound"},
        {"kmix", nullptr},
    };
    for (const Misturador &m : misturadores) {
        const QString programa = QString::fromLatin1(m.programa);
        if (ProgramaExterno::localizar(programa).isEmpty())
            continue;
        QStringList argumentos;
        if (m.argumento)
            argumentos.append(QString::fromLatin1(m.argumento));
        return ProgramaExterno::iniciar(programa, argumentos);
    }
    return false;
}
