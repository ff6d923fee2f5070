#include "engine/SaidaMIDI.h"

#include "engine/EventoAndamento.h"
#include "engine/Sequenciador.h"
#include "platform/CapacidadesDispositivo.h"
#include "platform/NomeArquivo.h"
#include "platform/Windows1252.h"
#include "song/EventoGenerico.h"
#include "song/EventoNoteOff.h"
#include "song/EventoNoteOn.h"
#include "song/GerenciadorMusica.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidi.h"
#include "sonomidi/TSonoMidiOut.h"
#include "sonomidi/TSonoMidiSMF.h"
#include "sonomidi/TSonoMidiScore.h"
#include "sonomidi/TSonoMidiSync.h"
#include "sonomidi/TSonoMidiTrack.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>

namespace {

constexpr uint32_t flagsPorta = 0x13320;
constexpr int32_t notaBateriaMin = 35;  // the General MIDI percussion notes the kit shows
constexpr int32_t notaBateriaMax = 59;
constexpr int32_t canalBateria = 9;

SaidaMIDI *&unica()
{
    static SaidaMIDI *instancia = nullptr;
    return instancia;
}

int64_t agoraMonotonico()
{
    timespec agora{};
    clock_gettime(CLOCK_MONOTONIC, &agora);
    return int64_t(agora.tv_sec) * 1000000 + agora.tv_nsec / 1000;
}

}  // namespace

SaidaMIDI &SaidaMIDI::instancia()
{
    // A construction that fails (no driver library) leaves no instance, so the
    // next call tries again. Never destroyed while the program runs.
    if (!unica())
        unica() = new SaidaMIDI;
    return *unica();
}

SaidaMIDI::SaidaMIDI()
{
    partituraPorta = std::make_unique<TSonoMidiScore>(0);
    arquivoMidi = std::make_unique<TSonoMidiSMF>(nullptr);
    sonoMidi = std::make_unique<TSonoMidi>(nullptr);
    porta = std::make_unique<TSonoMidiOut>(nullptr);
    porta->SonoMidi = sonoMidi.get();
    arquivoMidi->SonoMidi = sonoMidi.get();
    try {
        porta->SetScore(partituraPorta.get());
        arquivoMidi->SetScore(partituraPorta.get());
        dispositivo = 0;
        if (!porta->IsOpen())
            porta->Open(0, flagsPorta);
        volumes.fill(127);
        volumeGeral = 100;
        aplicarVolumes();
        arquivoAberto = false;
        musicaCarregada = false;
    } catch (...) {
    }
}

bool SaidaMIDI::abrirDispositivo(int32_t indice)
{
    dispositivo = indice;
    if (porta->IsOpen())
        porta->Close();
    // The library takes a 16-bit device: 65536 would otherwise open device 0.
    if (indice < 0 || static_cast<int64_t>(indice) >= static_cast<int64_t>(porta->GetNumDevices()))
        return false;
    return porta->Open(static_cast<uint16_t>(indice), flagsPorta);
}

bool SaidaMIDI::dispositivoAberto() const
{
    return porta->IsOpen();
}

QStringList SaidaMIDI::listarDispositivos()
{
    QStringList nomes;
    const uint32_t n = porta->GetNumDevices();
    for (uint32_t d = 0; d < n; ++d) {
        char nome[32] = {};
        if (CapacidadesDispositivo::consultar(d, nome) != 0) {
            // Every device keeps its place, so list positions stay device numbers.
            std::memset(nome, 0, sizeof nome);
            if (d > 0xFFFF || sonoMidi->GetMidiOutDescription(static_cast<uint16_t>(d), nome) != 0)
                nome[0] = '\0';
            nome[31] = '\0';
            CapacidadesDispositivo::cortarNome(nome);
        }
        nomes.append(QString::fromUtf8(nome));
    }
    return nomes;
}

void SaidaMIDI::setVolumeGeral(int32_t percentual)
{
    volumeGeral = percentual;
    aplicarVolumes();
}

void SaidaMIDI::aplicarVolumes()
{
    for (int32_t c = 0; c < 16; ++c)
        enviarCurta(0xB0 + c, 7, volumeSobGeral(c));
}

int32_t SaidaMIDI::volumeSobGeral(int32_t canal) const
{
    // The stored default of 127 lies above the slider's range: clamp it here, or
    // the data byte would leave 0..127.
    const int64_t percentual = std::clamp<int32_t>(volumeGeral, 0, 100);
    return static_cast<int32_t>(volumes[static_cast<size_t>(canal)] * percentual / 100);
}

void SaidaMIDI::setPrograma(int32_t canal, int32_t programa)
{
    if (programa == 128)
        return;
    enviarMensagem(0xB0 + canal, 0, 0);
    enviarMensagem(0xC0 + canal, programa, 0);
}

void SaidaMIDI::notaLigada(int32_t canal, int32_t velocidade, int32_t nota)
{
    enviarMensagem(0x90 + canal, nota, velocidade);
}

int64_t SaidaMIDI::notaLigadaEm(int64_t devido, int32_t canal, int32_t velocidade, int32_t nota)
{
    // Scheduled as the notes of a beat due then are, so it sounds with the same output latency.
    const auto marcar = sonoMidi->SetDispatchDue;
    if (marcar)
        marcar(devido);
    try {
        notaLigada(canal, velocidade, nota);
    } catch (...) {
        if (marcar)
            marcar(0);
        throw;
    }
    if (marcar)
        marcar(0);
    // The library sends a note at once when its time has passed, and then it sounds now; so
    // does a library that places nothing.
    if (!marcar)
        return agoraMonotonico();
    return std::max(devido + getLatenciaSaida(), agoraMonotonico());
}

int64_t SaidaMIDI::getLatenciaSaida() const
{
    return porta->GetLatency();
}

void SaidaMIDI::notaDesligada(int32_t canal, int32_t nota)
{
    enviarMensagem(0x90 + canal, nota, 0);
}

void SaidaMIDI::reiniciarDispositivo()
{
    if (porta->IsOpen())
        porta->Reset();
}

void SaidaMIDI::reiniciarControladores()
{
    // The song's channel volumes are forgotten with its other controllers.
    volumes.fill(127);
    for (int32_t c = 0; c < 16; ++c)
        enviarCurta(0xB0 + c, 121, 0);
}

void SaidaMIDI::restaurarKitPadrao()
{
    enviarMensagem(0xC9, 0, 0);
}

void SaidaMIDI::enviarMensagem(int32_t status, int32_t dado1, int32_t dado2)
{
    // A song's own channel volumes would otherwise override the master volume:
    // the slider at the bottom must keep a song silent.
    if ((status & 0xF0) == 0xB0 && (dado1 & 0xFF) == 7) {
        const int32_t canal = status & 0x0F;
        volumes[static_cast<size_t>(canal)] = dado2 & 0x7F;
        enviarCurta(status, 7, volumeSobGeral(canal));
        return;
    }
    enviarCurta(status, dado1, dado2);
}

void SaidaMIDI::enviarCurta(int32_t status, int32_t dado1, int32_t dado2)
{
    MIDIEVENT evento{};
    evento.status = static_cast<uint8_t>(status);
    evento.data1 = static_cast<uint8_t>(dado1);
    evento.data2 = static_cast<uint8_t>(dado2);
    porta->Put(&evento);
}

void SaidaMIDI::fecharArquivo()
{
    if (arquivoMidi->IsOpen()) {
        porta->Sync = nullptr;
        sonoMidi->RewindSMF(arquivoMidi->GetHandle());
        arquivoMidi->Close();
    }
    arquivoAberto = false;
}

void SaidaMIDI::fechar()
{
    fecharArquivo();
    if (porta->IsOpen())
        porta->Close();
}

int32_t SaidaMIDI::getNumTrilhasArquivo() const
{
    return static_cast<int32_t>(arquivoMidi->GetNumTracks());
}

QString SaidaMIDI::nomeTrilha(int32_t indice) const
{
    if (!arquivoMidi->IsOpen() || !partitura || arquivoMidi->GetScore() != partitura.get()
        || indice < 0 || indice >= partitura->GetNumTracks())
        return QString();
    QByteArray dados;
    if (arquivoMidi->ReadMetaEvent(partitura->GetTrack(indice), 3, dados) == -1)
        return QString();
    dados.truncate(99);
    const qsizetype zero = dados.indexOf('\0');
    if (zero >= 0)
        dados.truncate(zero);
    return Windows1252::decodificar(dados);
}

int32_t SaidaMIDI::lerAndamento()
{
    if (!partitura || arquivoMidi->GetScore() != partitura.get() || partitura->GetNumTracks() == 0)
        return -1;
    QByteArray dados;
    if (arquivoMidi->ReadMetaEvent(partitura->GetTrack(0), 0x51, dados) == -1)
        return -1;
    // A Set Tempo shorter than its three bytes, or of 0 us, counts as no tempo.
    if (dados.size() < 3)
        return -1;
    const uint32_t micros = (uint32_t(uint8_t(dados[0])) << 16) | (uint32_t(uint8_t(dados[1])) << 8) | uint8_t(dados[2]);
    if (micros == 0)
        return -1;
    return static_cast<int32_t>(60000000u / micros);
}

bool SaidaMIDI::arquivoRecusado(const ESonoMidiException &erro)
{
    // The file component's errors all begin so ("SMF not open", "SMF cant read",
    // "SMF bad track"); the port's and the clock's do not. A cancelled reading is
    // the user's choice, not a bad file.
    return erro.Message().startsWith(QLatin1String("SMF ")) && erro.Message() != QLatin1String("SMF cancelled");
}

void SaidaMIDI::carregarArquivo(const QString &nome)
{
    prepararCarga();
    instalarMusica(lerMusica(nome));
}

void SaidaMIDI::prepararCarga()
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    if (musicaCarregada) {
        fecharArquivo();
        porta->Reset();
        porta->Flush();
        sequenciador.parar();
        sequenciador.abrir();
    }
}

SaidaMIDI::MusicaLida SaidaMIDI::lerMusica(const QString &nome, ProgressoLeitura *progresso)
{
    Sequenciador &sequenciador = Sequenciador::instancia();
    if (progresso)
        progresso->milesimos.store(-1);  // no measure until the conversion starts
    // Opening closes any file still open; nothing of the old song is touched
    // before the new file is known to be readable.
    arquivoAberto = false;
    // A file of a size no song has is refused before anything is read.
    if (NomeArquivo::tamanho(nome) > tamanhoMaximoArquivo)
        throw ESonoMidiException(QStringLiteral("SMF not open"));
    if (!arquivoMidi->Open(nome, 'r', 1))
        throw ESonoMidiException(QStringLiteral("SMF not open"));
    arquivoAberto = true;

    std::unique_ptr<Musica> musica;
    int64_t maiorTick = 0;
    try {
        // The old reader score goes now; the port keeps its own.
        partitura = std::make_unique<TSonoMidiScore>(static_cast<int>(arquivoMidi->GetNumTracks()));
        arquivoMidi->SetScore(partitura.get());
        TSonoMidiSync *relogio = sequenciador.getSincronizador();
        // The library's read of a big score takes a second or more: a Cancel must
        // stop it too, between chunks.
        if (progresso) {
            arquivoMidi->OnReadChunk = [progresso](QObject *, uint64_t registros, bool &parar) {
                progresso->lidos.store(int64_t(registros));
                parar = progresso->cancelar.load();
            };
        }
        const bool lido = arquivoMidi->Read(relogio && relogio->SonoMidi ? relogio : nullptr);
        arquivoMidi->OnReadChunk = nullptr;
        if (!lido)
            throw ESonoMidiException(QStringLiteral("SMF cancelled"));

        const double resolucao = arquivoMidi->GetResolution();
        if (resolucao <= 0)
            throw ESonoMidiException(QStringLiteral("SMF cant read"));
        const int32_t n = getNumTrilhasArquivo();
        int64_t totalEventos = 0;
        for (int32_t t = 0; t < n; ++t)
            totalEventos += partitura->GetTrack(t)->GetNumEvents();
        if (totalEventos > maximoEventos)
            throw ESonoMidiException(QStringLiteral("SMF cant read"));
        musica = std::make_unique<Musica>();
        int64_t convertidos = 0;
        for (int32_t t = 0; t < n; ++t) {
            // The first Set Time Signature, in track order: numerator, then the
            // denominator as a power of two.
            QByteArray compasso;
            if (arquivoMidi->ReadMetaEvent(partitura->GetTrack(t), 0x58, compasso) != -1 && compasso.size() >= 2) {
                const int expoente = uint8_t(compasso[1]);
                musica->setCompasso(uint8_t(compasso[0]), expoente <= 6 ? 1 << expoente : 0);
                break;
            }
        }
        for (int32_t t = 0; t < n; ++t) {
            bool soando[notaBateriaMax - notaBateriaMin + 1] = {};
            int64_t ultimoAtaque[notaBateriaMax - notaBateriaMin + 1] = {};
            auto trilha = std::make_unique<Trilha>();
            bool canalDefinido = false;
            int64_t tempoCorrente = 0;  // 64 bits: the 32-bit deltas of a long track add up past 2^31
            TSonoMidiTrack *origem = partitura->GetTrack(t);
            const uint32_t numEventos = origem->GetNumEvents();
            for (uint32_t k = 0; k < numEventos; ++k) {
                if (progresso && (k & 0xFFFF) == 0) {
                    if (progresso->cancelar.load())
                        throw ESonoMidiException(QStringLiteral("SMF cancelled"));
                    progresso->milesimos.store(int(1000 * (convertidos + k) / std::max<int64_t>(totalEventos, 1)));
                }
                const MIDIEVENT *registro = origem->GetEvent(k);
                if (!registro)
                    break;
                tempoCorrente += registro->time;
                const double exato = static_cast<double>(tempoCorrente) / resolucao * 64.0 + 0.5;
                if (exato >= 2147483648.0)
                    throw ESonoMidiException(QStringLiteral("SMF cant read"));
                int64_t tick = static_cast<int64_t>(exato);
                const int32_t status = registro->status;
                const int32_t dado1 = registro->data1;
                const int32_t dado2 = registro->data2;

                enum class Tipo { andamento, ligada, desligada, outro } tipo;
                int32_t canal = 0;
                if (t == 0 && status == 0) {
                    tipo = Tipo::andamento;
                } else if (status >= 0x90 && status <= 0x9F && dado2 != 0) {
                    tipo = Tipo::ligada;
                    canal = status - 0x90;
                    if (!canalDefinido) {
                        trilha->setCanal(canal);
                        canalDefinido = true;
                    }
                } else if ((status >= 0x80 && status <= 0x8F) || (status >= 0x90 && status <= 0x9F)) {
                    tipo = Tipo::desligada;
                    canal = status & 0x0F;
                } else if (status >= 0xB0 && status <= 0xCF) {
                    tipo = Tipo::outro;
                    canal = status & 0x0F;
                } else {
                    tipo = Tipo::outro;
                }
                if (tick > maiorTick)
                    maiorTick = tick;

                std::unique_ptr<EventoSequenciamento> evento;
                const bool bateria = canal == canalBateria && dado1 <= notaBateriaMax;
                if (tipo == Tipo::andamento) {
                    evento = std::make_unique<EventoAndamento>(static_cast<int32_t>(tick), 0, lerAndamento());
                } else if (tipo == Tipo::ligada && bateria) {
                    if (!trilha->temBateria())
                        trilha->marcarBateria();
                    if (dado1 >= notaBateriaMin) {
                        const int indice = dado1 - notaBateriaMin;
                        // A re-struck drum gets its release two ticks early, so the
                        // display never misses a stroke; never before its own stroke.
                        if (soando[indice]) {
                            const int64_t soltura = std::max(tick - 2, ultimoAtaque[indice]);
                            trilha->adicionarEvento(std::make_unique<EventoNoteOff>(static_cast<int32_t>(soltura), canalBateria, dado1));
                        }
                        soando[indice] = true;
                        ultimoAtaque[indice] = tick;
                    }
                    evento = std::make_unique<EventoNoteOn>(static_cast<int32_t>(tick), canalBateria, dado1, dado2);
                } else if (tipo == Tipo::desligada && bateria) {
                    if (!trilha->temBateria())
                        trilha->marcarBateria();
                    if (dado1 >= notaBateriaMin) {
                        const int indice = dado1 - notaBateriaMin;
                        soando[indice] = false;
                        // A hit shorter than two ticks would never show on the kit.
                        if (tick - ultimoAtaque[indice] < 2)
                            tick = ultimoAtaque[indice] + 2;
                        if (tick > INT32_MAX)
                            throw ESonoMidiException(QStringLiteral("SMF cant read"));
                    }
                    evento = std::make_unique<EventoNoteOff>(static_cast<int32_t>(tick), canalBateria, dado1);
                } else {
                    evento = std::make_unique<EventoGenerico>(static_cast<int32_t>(tick), status, canal, dado1, dado2);
                }
                trilha->adicionarEvento(std::move(evento));
            }
            musica->adicionarTrilha(std::move(trilha));
            convertidos += numEventos;
        }
    } catch (...) {
        // The previous song stays current; the reader is left closed and consistent.
        arquivoMidi->OnReadChunk = nullptr;  // it looks at progresso, which the caller frees
        musica.reset();
        fecharArquivo();
        partitura.reset();  // a big score half read would hold its memory until the next song
        throw;
    }

    if (progresso)
        progresso->milesimos.store(1000);
    return MusicaLida{std::move(musica), maiorTick};
}

void SaidaMIDI::instalarMusica(MusicaLida lida)
{
    const int64_t maiorTick = lida.maiorTick;
    GerenciadorMusica &gerenciador = GerenciadorMusica::instancia();
    gerenciador.setMusica(std::move(lida.musica));
    Sequenciador::instancia().iniciarMusica();
    gerenciador.setTotalTicks(static_cast<int32_t>(maiorTick));
    gerenciador.setTotalTempos(static_cast<int32_t>(maiorTick / 64 + 1));

    // A new song starts at full channel volumes under the master: a channel that
    // the previous song turned down must not stay down.
    volumes.fill(127);
    porta->Reset();
    porta->Flush();
    musicaCarregada = true;
    aplicarVolumes();
}
