#include "sonomidi/TSonoMidiWindowed.h"

#include "platform/HiddenWindow.h"

TSonoMidiWindowed::TSonoMidiWindowed(QObject *Owner)
    : QObject(Owner),
      hWnd(std::make_unique<HiddenWindow>([this](uint32_t Message, uintptr_t WParam, intptr_t LParam) {
          // Messages run from the event loop only, so the component is whole by then.
          WindowProc(Message, WParam, LParam);
      }))
{
}

TSonoMidiWindowed::~TSonoMidiWindowed() = default;

SnMidiWindow *TSonoMidiWindowed::GetWindow() const
{
    return hWnd->handle();
}

QString TSonoMidiWindowed::DeviceDescription(decltype(&::GetMidiOutDescription) Describe, uint16_t Device)
{
    char descricao[32] = {};
    Describe(Device, descricao);
    descricao[sizeof descricao - 1] = '\0';
    return QString::fromUtf8(descricao);
}
