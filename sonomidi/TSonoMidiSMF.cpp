#include "sonomidi/TSonoMidiSMF.h"

#include "platform/NomeArquivo.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiSync.h"
#include "sonomidi/TSonoMidiTrack.h"

TSonoMidiSMF::TSonoMidiSMF(QObject *Owner)
    : QObject(Owner)
{
}

TSonoMidiSMF::~TSonoMidiSMF()
{
    if (Opened) {
        if (SonoMidi)
            SonoMidi->CloseSMF(hSMF);
        hSMF = 0;
        Opened = false;
    }
}

bool TSonoMidiSMF::Open(const QString &Name, char Mode, uint32_t Format)
{
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));
    if (Opened)
        Close();
    this->Mode = Mode;
    this->Format = Format;
    // File names go to the library as the file system's own bytes, also when
    // they are not valid UTF-8.
    const QByteArray nome = NomeArquivo::codificar(Name);
    hSMF = SonoMidi->OpenSMF(nome.constData(), &this->Format, Mode, &NumTracks);
    Opened = hSMF != 0;
    return Opened;
}

void TSonoMidiSMF::Close()
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("SMF not open"));
    if (SonoMidi)
        SonoMidi->CloseSMF(hSMF);
    // A released handle is never handed to the library again.
    hSMF = 0;
    Score = nullptr;
    NumTracks = 0;
    Opened = false;
}

uint16_t TSonoMidiSMF::GetResolution() const
{
    if (hSMF == 0 || !SonoMidi)
        return 0;
    return SonoMidi->GetSMFResolution(hSMF);
}

bool TSonoMidiSMF::Read(TSonoMidiSync *Clock)
{
    if (Mode != 'r' || !Score)
        throw ESonoMidiException(QStringLiteral("SMF cant read"));
    const bool temArquivo = hSMF != 0 && SonoMidi;
    if (temArquivo)
        SonoMidi->RewindSMF(hSMF);
    RecordsRead = 0;
    ReadAborted = false;
    for (int i = 0; i < Score->GetNumTracks(); ++i) {
        TSonoMidiTrack *trilha = Score->GetTrack(i);
        trilha->Clear();
        if (!ReadAborted)
            ReadTrack(trilha);
    }
    if (ReadAborted)
        return false;
    if (Clock && temArquivo)
        Clock->SetResolution(SonoMidi->GetSMFResolution(hSMF));
    return true;
}

bool TSonoMidiSMF::ReadTrack(TSonoMidiTrack *Track)
{
    if (!Opened)
        throw ESonoMidiException(QStringLiteral("SMF not open"));
    if (Mode != 'r' || !Score)
        throw ESonoMidiException(QStringLiteral("SMF cant read"));
    const int indice = Score->IndexOf(Track);
    if (indice < 0)
        throw ESonoMidiException(QStringLiteral("SMF bad track"));
    if (!SonoMidi)
        throw ESonoMidiException(QStringLiteral("No SonoMidi"));

    uint32_t n = 0;
    for (;;) {
        if (OnReadChunk) {
            bool parar = false;
            OnReadChunk(this, RecordsRead + n, parar);
            if (parar) {
                ReadAborted = true;
                break;
            }
        }
        // Growing by the records held keeps at least a full chunk free, so full
        // reads double the buffer.
        if (Track->GetCapacity() - n < ReadChunk)
            Track->SetCapacity(Track->GetCapacity() + n);
        const uint32_t lidos = SonoMidi->ReadSMF(hSMF, static_cast<uint32_t>(indice), Track->GetEvent(n), ReadChunk);
        if (lidos == 0)
            break;
        // The library never stores more than it was asked for; a count beyond that
        // would point past the buffer.
        n += lidos < ReadChunk ? lidos : ReadChunk;
    }
    Track->SetNumEvents(n);
    RecordsRead += n;
    return n > 0;
}

bool TSonoMidiSMF::WriteTrack(TSonoMidiTrack *Track)
{
    if (Mode != 'w' || !Score)
        throw ESonoMidiException(QStringLiteral("SMF cant write"));
    const int indice = Score->IndexOf(Track);
    if (indice < 0)
        throw ESonoMidiException(QStringLiteral("SMF bad track"));
    if (hSMF == 0 || !SonoMidi)
        return false;
    const uint32_t quantos = Track->GetNumEvents();
    return SonoMidi->WriteSMF(hSMF, static_cast<uint32_t>(indice), Track->GetEvent(0), quantos) == quantos;
}

int32_t TSonoMidiSMF::ReadMetaEvent(TSonoMidiTrack *Track, uint8_t Type, QByteArray &Data)
{
    if (Mode != 'r' || !Score)
        throw ESonoMidiException(QStringLiteral("SMF cant read"));
    Data.clear();
    const int indice = Score->IndexOf(Track);
    if (indice < 0 || hSMF == 0 || !SonoMidi)
        return -1;
    uint8_t *dados = nullptr;
    uint32_t tamanho = 0;
    const int32_t resultado = SonoMidi->ReadMetaEvent(hSMF, static_cast<uint32_t>(indice), Type, &dados, &tamanho);
    if (resultado != -1 && dados)
        Data = QByteArray(reinterpret_cast<const char *>(dados), static_cast<qsizetype>(tamanho));
    return resultado;
}

bool TSonoMidiSMF::WriteMetaEvent(TSonoMidiTrack *Track, uint8_t Type, const void *Data, uint32_t Value)
{
    if (Mode != 'w' || !Score)
        throw ESonoMidiException(QStringLiteral("SMF cant write"));
    const int indice = Score->IndexOf(Track);
    if (indice < 0 || hSMF == 0 || !SonoMidi)
        return false;
    return SonoMidi->WriteMetaEvent(hSMF, static_cast<uint32_t>(indice), Type, Data, Value) == 0;
}
