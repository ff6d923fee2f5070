#include "EspiaoSnMidi.h"

#include <cassert>
#include <utility>

EspiaoSnMidi *EspiaoSnMidi::atual = nullptr;

template <auto Membro, typename F>
struct Rele;

template <auto Membro, typename R, typename... A>
struct Rele<Membro, R (*)(A...)> {
    static inline R (*original)(A...) = nullptr;
    static inline const char *nome = nullptr;

    static R chamar(A... argumentos)
    {
        EspiaoSnMidi *espiao = EspiaoSnMidi::atual;
        const QList<qint64> valores{EspiaoSnMidi::valor(argumentos)...};
        const auto fixa = espiao->respostas.constFind(QLatin1String(nome));
        const R resultado = fixa != espiao->respostas.cend() ? static_cast<R>(*fixa) : original(argumentos...);
        espiao->registro.append({QLatin1String(nome), valores, EspiaoSnMidi::valor(resultado)});
        return resultado;
    }
};

template <auto Membro>
void EspiaoSnMidi::relatar(const char *nome)
{
    using Ponteiro = std::remove_reference_t<decltype(std::declval<TSonoMidi &>().*Membro)>;
    using R = Rele<Membro, Ponteiro>;
    R::original = ligacao.*Membro;
    R::nome = nome;
    ligacao.*Membro = &R::chamar;
    restaurar.append([this] { ligacao.*Membro = R::original; });
}

#define RELATAR(nome) relatar<&TSonoMidi::nome>(#nome)

EspiaoSnMidi::EspiaoSnMidi(TSonoMidi &Ligacao)
    : ligacao(Ligacao)
{
    assert(!atual);
    atual = this;
    RELATAR(GetNumOutDevices);
    RELATAR(GetMidiOutDescription);
    RELATAR(OpenMidiOut);
    RELATAR(ResetMidiOut);
    RELATAR(FlushMidiOut);
    RELATAR(CloseMidiOut);
    RELATAR(PutMidiOut);
    RELATAR(GetMidiInDescription);
    RELATAR(OpenMidiIn);
    RELATAR(StartMidiIn);
    RELATAR(StopMidiIn);
    RELATAR(CloseMidiIn);
    RELATAR(OpenSync);
    RELATAR(CloseSync);
    RELATAR(StopSync);
    RELATAR(StartSync);
    RELATAR(SetTempo);
    RELATAR(SetResolution);
    RELATAR(OpenSMF);
    RELATAR(CloseSMF);
    RELATAR(RewindSMF);
    RELATAR(ReadSMF);
    RELATAR(WriteSMF);
    RELATAR(GetSMFResolution);
    RELATAR(ReadMetaEvent);
    RELATAR(WriteMetaEvent);
    originalGetMidiIn = ligacao.GetMidiIn;
    ligacao.GetMidiIn = &EspiaoSnMidi::releGetMidiIn;
}

EspiaoSnMidi::~EspiaoSnMidi()
{
    for (const auto &desfazer : std::as_const(restaurar))
        desfazer();
    ligacao.GetMidiIn = originalGetMidiIn;
    atual = nullptr;
}

LPMIDIEVENT EspiaoSnMidi::releGetMidiIn(SNHANDLE h)
{
    EspiaoSnMidi *espiao = atual;
    LPMIDIEVENT resultado = nullptr;
    if (!espiao->entrada.isEmpty()) {
        // Like the library, hand out a record of our own that stays valid until the next call.
        espiao->entregue = espiao->entrada.takeFirst();
        resultado = &espiao->entregue;
    }
    espiao->registro.append({QStringLiteral("GetMidiIn"), {static_cast<qint64>(h)}, resultado ? 1 : 0});
    return resultado;
}

QList<EspiaoSnMidi::Chamada> EspiaoSnMidi::chamadas(const QString &nome) const
{
    QList<Chamada> escolhidas;
    for (const Chamada &chamada : registro)
        if (chamada.nome == nome)
            escolhidas.append(chamada);
    return escolhidas;
}

QStringList EspiaoSnMidi::nomes() const
{
    QStringList lista;
    for (const Chamada &chamada : registro)
        lista.append(chamada.nome);
    return lista;
}
