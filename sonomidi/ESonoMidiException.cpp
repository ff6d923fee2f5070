#include "sonomidi/ESonoMidiException.h"

ESonoMidiException::ESonoMidiException(const QString &Msg)
    : std::runtime_error(Msg.toStdString())
{
}

QString ESonoMidiException::Message() const
{
    return QString::fromStdString(what());
}
