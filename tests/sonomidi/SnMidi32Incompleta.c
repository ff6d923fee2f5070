/*
 * A driver library that lacks WriteMetaEvent only, for the binding's failure
 * path. The entry points are never called; they only need to be found. Each
 * load and unload appends a line to the file named by SNMIDI32_ENSAIO_LOG.
 */
#include <stdio.h>
#include <stdlib.h>

#define EXPORTAR __attribute__((visibility("default")))

static void anotar(const char *linha)
{
    const char *caminho = getenv("SNMIDI32_ENSAIO_LOG");
    if (!caminho || !*caminho)
        return;
    FILE *arquivo = fopen(caminho, "a");
    if (arquivo) {
        fputs(linha, arquivo);
        fclose(arquivo);
    }
}

__attribute__((constructor)) static void carregada(void) { anotar("load\n"); }
__attribute__((destructor)) static void descarregada(void) { anotar("unload\n"); }

#define ENTRADA(nome) EXPORTAR void nome(void) {}
ENTRADA(GetSonoMidiVersion)
ENTRADA(GetNumOutDevices)
ENTRADA(GetMidiOutDescription)
ENTRADA(OpenMidiOut)
ENTRADA(ResetMidiOut)
ENTRADA(FlushMidiOut)
ENTRADA(CloseMidiOut)
ENTRADA(PutMidiOut)
ENTRADA(GetNumInDevices)
ENTRADA(GetMidiInDescription)
ENTRADA(OpenMidiIn)
ENTRADA(StartMidiIn)
ENTRADA(StopMidiIn)
ENTRADA(CloseMidiIn)
ENTRADA(GetMidiIn)
ENTRADA(OpenSync)
ENTRADA(CloseSync)
ENTRADA(StopSync)
ENTRADA(StartSync)
ENTRADA(PauseSync)
ENTRADA(ReStartSync)
ENTRADA(SetTempo)
ENTRADA(SetResolution)
ENTRADA(GetTempo)
ENTRADA(GetResolution)
ENTRADA(GetPosition)
ENTRADA(OpenSMF)
ENTRADA(CloseSMF)
ENTRADA(RewindSMF)
ENTRADA(ReadSMF)
ENTRADA(WriteSMF)
ENTRADA(GetSMFResolution)
ENTRADA(SetSMFResolution)
ENTRADA(ReadMetaEvent)
