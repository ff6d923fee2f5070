#include "GravadorMidi.h"

#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiTrack.h"

bool GravadorMidi::gravar(const QString &caminho, uint16_t resolucao, const std::vector<Trilha> &trilhas)
{
    TSonoMidi ligacao;
    TSonoMidiSMF arquivoMidi;
    arquivoMidi.SonoMidi = &ligacao;
    TSonoMidiScore partitura(static_cast<int>(trilhas.size()));
    if (!arquivoMidi.Open(caminho, 'w', 1))
        return false;
    arquivoMidi.SetScore(&partitura);
    ligacao.SetSMFResolution(arquivoMidi.GetHandle(), resolucao);
    bool certo = true;
    for (size_t t = 0; t < trilhas.size(); ++t) {
        TSonoMidiTrack *trilha = partitura.GetTrack(static_cast<int>(t));
        const auto &registros = trilhas[t].registros;
        trilha->SetCapacity(static_cast<uint32_t>(registros.size()) + 1);
        for (size_t k = 0; k < registros.size(); ++k)
            *trilha->GetEvent(static_cast<uint32_t>(k)) =
                MIDIEVENT{registros[k].delta, registros[k].status, registros[k].dado1, registros[k].dado2, 0};
        trilha->SetNumEvents(static_cast<uint32_t>(registros.size()));
        for (const Meta &meta : trilhas[t].metas) {
            // Text events are passed as C strings.
            QByteArray dados = meta.dados;
            if (meta.tipo >= 0x01 && meta.tipo <= 0x07)
                dados.append('\0');
            certo = arquivoMidi.WriteMetaEvent(trilha, meta.tipo, dados.constData(), meta.tick) && certo;
        }
        certo = arquivoMidi.WriteTrack(trilha) && certo;
        // Large benchmark files: each track's buffer goes once it is written.
        trilha->Clear();
    }
    arquivoMidi.Close();
    return certo;
}

GravadorMidi::Meta GravadorMidi::andamento(uint32_t tick, uint32_t microssegundos)
{
    QByteArray dados;
    dados.append(char((microssegundos >> 16) & 0xFF));
    dados.append(char((microssegundos >> 8) & 0xFF));
    dados.append(char(microssegundos & 0xFF));
    return {tick, 0x51, dados};
}

GravadorMidi::Meta GravadorMidi::nome(const QByteArray &texto)
{
    return {0, 0x03, texto};
}
