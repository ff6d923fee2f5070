#include "platform/CapacidadesDispositivo.h"

#include "platform/BibliotecaDriver.h"

#include "SnMidiName.h"

#include <dlfcn.h>

#include <cstring>

namespace {

// Kept for the whole run: dlopen of the file the binding loaded returns the
// same library, so the device list is computed by the same code.
struct Biblioteca {
    void *handle = nullptr;
    uint32_t (*numDispositivos)() = nullptr;
    uint16_t (*descricao)(uint16_t, char *) = nullptr;
    uint32_t (*ultimoErro)(char *, uint32_t) = nullptr;  // an extension: absent from other builds

    Biblioteca()
    {
        handle = BibliotecaDriver::abrir(BibliotecaDriver::arquivoLocal(), true);
        if (!handle)
            return;
        numDispositivos = reinterpret_cast<uint32_t (*)()>(dlsym(handle, "GetNumOutDevices"));
        descricao = reinterpret_cast<uint16_t (*)(uint16_t, char *)>(dlsym(handle, "GetMidiOutDescription"));
        ultimoErro = reinterpret_cast<uint32_t (*)(char *, uint32_t)>(dlsym(handle, "SnMidiGetLastError"));
    }
};

// MMSYSERR_BADDEVICEID and MMSYSERR_NODRIVER of the Windows query.
constexpr uint32_t dispositivoInvalido = 2;
constexpr uint32_t semDriver = 6;

Biblioteca &biblioteca()
{
    static Biblioteca unica;
    return unica;
}

uint32_t consultarBiblioteca(uint32_t dispositivo, char nome[32])
{
    Biblioteca &b = biblioteca();
    if (!b.numDispositivos || !b.descricao)
        return semDriver;
    if (dispositivo >= b.numDispositivos() || dispositivo > 0xFFFF)
        return dispositivoInvalido;
    char texto[32] = {};
    if (b.descricao(static_cast<uint16_t>(dispositivo), texto) != 0)
        return dispositivoInvalido;
    std::memcpy(nome, texto, sizeof texto);
    return 0;
}

CapacidadesDispositivo::Consulta &consultaAtual()
{
    static CapacidadesDispositivo::Consulta consulta = nullptr;
    return consulta;
}

}  // namespace

QString CapacidadesDispositivo::problemaBiblioteca()
{
    Biblioteca &b = biblioteca();
    if (!b.ultimoErro)
        return {};
    char texto[1024] = {};
    b.ultimoErro(texto, sizeof texto);
    return QString::fromUtf8(texto);
}

uint32_t CapacidadesDispositivo::consultar(uint32_t dispositivo, char nome[32])
{
    nome[0] = '\0';
    const Consulta consulta = consultaAtual() ? consultaAtual() : consultarBiblioteca;
    const uint32_t resultado = consulta(dispositivo, nome);
    if (resultado != 0) {
        nome[0] = '\0';
        return resultado;
    }
    cortarNome(nome);
    return 0;
}

void CapacidadesDispositivo::cortarNome(char nome[32])
{
    nome[snMidiNameLength(nome, strnlen(nome, 32))] = '\0';
}

void CapacidadesDispositivo::definirConsulta(Consulta consulta)
{
    consultaAtual() = consulta;
}
