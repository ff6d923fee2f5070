"""Readers shared by the end-to-end checks: a Standard MIDI File, event by event,
and the driver library's capture file."""
import struct


def ler_vlq(dados, i):
    valor = 0
    while True:
        b = dados[i]
        i += 1
        valor = (valor << 7) | (b & 0x7F)
        if not b & 0x80:
            return valor, i


def ler_smf(caminho):
    """(division, tracks): each track a list of (tick, kind, data) in file order,
    kind 'meta' with (type, bytes) or 'canal' with (status, data bytes)."""
    dados = open(caminho, 'rb').read()
    assert dados[:4] == b'MThd'
    _, _, ntrilhas, divisao = struct.unpack('>IHHH', dados[4:14])
    i = 8 + struct.unpack('>I', dados[4:8])[0]
    trilhas = []
    for _ in range(ntrilhas):
        assert dados[i:i + 4] == b'MTrk'
        fim = i + 8 + struct.unpack('>I', dados[i + 4:i + 8])[0]
        i += 8
        tick = 0
        status = 0
        eventos = []
        while i < fim:
            delta, i = ler_vlq(dados, i)
            tick += delta
            b = dados[i]
            if b == 0xFF:
                n, j = ler_vlq(dados, i + 2)
                eventos.append((tick, 'meta', (dados[i + 1], dados[j:j + n])))
                i = j + n
                continue
            if b in (0xF0, 0xF7):
                n, j = ler_vlq(dados, i + 1)
                i = j + n
                continue
            if b & 0x80:
                status = b
                i += 1
            tamanho = 1 if (status & 0xF0) in (0xC0, 0xD0) else 2
            eventos.append((tick, 'canal', (status, dados[i:i + tamanho])))
            i += tamanho
        trilhas.append(eventos)
        i = fim
    return divisao, trilhas


def golpes(captura, dispositivo=0, quando_soa=False):
    """(microseconds, note) of every drum-channel note-on put to the device. With
    quando_soa, the time it is to sound (the sixth field, when the line has one)."""
    lidos = []
    for linha in open(captura):
        campos = linha.split()
        if len(campos) in (5, 6) and int(campos[1]) == dispositivo and int(campos[2]) == 0x99 and int(campos[4]) > 0:
            tempo = campos[5] if quando_soa and len(campos) == 6 else campos[0]
            lidos.append((int(tempo), int(campos[3])))
    return lidos
