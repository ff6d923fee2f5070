#include "settings/Utilgui.h"

#include "platform/VersaoPrograma.h"

QString Utilgui::versaoDoArquivo()
{
    return VersaoPrograma::texto();
}
