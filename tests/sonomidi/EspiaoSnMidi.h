#pragma once

#include "sonomidi/TSonoMidi.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <type_traits>

// Watches a binding's calls into the driver library: the chosen entry points of
// the binding are replaced by relays that record each call (name, integer
// arguments, result) and then call the real library, unless a test has fixed
// that entry point's answer. Pointer arguments are recorded as 0 (null) or 1.
// One spy at a time (the relays are plain functions).
class EspiaoSnMidi {
public:
    struct Chamada {
        QString nome;
        QList<qint64> argumentos;
        qint64 resultado;
    };

    // Relays every entry point of Ligacao that the toolkit calls.
    explicit EspiaoSnMidi(TSonoMidi &Ligacao);
    ~EspiaoSnMidi();

    EspiaoSnMidi(const EspiaoSnMidi &) = delete;
    EspiaoSnMidi &operator=(const EspiaoSnMidi &) = delete;

    QList<Chamada> chamadas() const { return registro; }
    QList<Chamada> chamadas(const QString &nome) const;
    // The names of the calls, in order.
    QStringList nomes() const;
    void limpar() { registro.clear(); }
    // From now on the entry point answers Resultado without reaching the library.
    void fixar(const QString &nome, qint64 resultado) { respostas.insert(nome, resultado); }
    void soltar(const QString &nome) { respostas.remove(nome); }
    // GetMidiIn answers the records of this list in turn, then null.
    QList<MIDIEVENT> entrada;

private:
    template <auto Membro, typename F>
    friend struct Rele;

    template <typename T>
    static qint64 valor(T argumento)
    {
        if constexpr (std::is_pointer_v<T>)
            return argumento ? 1 : 0;
        else
            return static_cast<qint64>(argumento);
    }

    template <auto Membro>
    void relatar(const char *nome);

    static EspiaoSnMidi *atual;
    TSonoMidi &ligacao;
    QList<Chamada> registro;
    QHash<QString, qint64> respostas;
    QList<std::function<void()>> restaurar;

    static LPMIDIEVENT releGetMidiIn(SNHANDLE h);
    decltype(&::GetMidiIn) originalGetMidiIn = nullptr;
    MIDIEVENT entregue = {};
};
