#!/usr/bin/env python3
"""Checks a capture file against a Standard MIDI File: the drum-channel strokes
that were sent are the file's own, in order, at the times its tempo gives.

conferir_captura.py STYLE.mid CAPTURE.txt DEVICE MIN_STROKES"""
import statistics
import struct
import sys


def ler_vlq(dados, i):
    valor = 0
    while True:
        b = dados[i]
        i += 1
        valor = (valor << 7) | (b & 0x7F)
        if not b & 0x80:
            return valor, i


def ler_smf(caminho):
    dados = open(caminho, 'rb').read()
    assert dados[:4] == b'MThd'
    _, _, ntrilhas, divisao = struct.unpack('>IHHH', dados[4:14])
    i = 8 + struct.unpack('>I', dados[4:8])[0]
    tempo = 500000
    golpes = []  # (engine tick, track, order, note)
    for t in range(ntrilhas):
        assert dados[i:i + 4] == b'MTrk'
        fim = i + 8 + struct.unpack('>I', dados[i + 4:i + 8])[0]
        i += 8
        tick = 0
        status = 0
        ordem = 0
        while i < fim:
            delta, i = ler_vlq(dados, i)
            tick += delta
            b = dados[i]
            if b == 0xFF:
                tipo = dados[i + 1]
                n, j = ler_vlq(dados, i + 2)
                if tipo == 0x51 and t == 0 and tick == 0:
                    tempo = int.from_bytes(dados[j:j + 3], 'big')
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
            d = dados[i:i + tamanho]
            i += tamanho
            if status == 0x99 and d[1] > 0:
                golpes.append((int(tick / divisao * 64 + 0.5), t, ordem, d[0]))
            ordem += 1
        i = fim
    golpes.sort()
    return 60000000 // tempo, golpes


def main():
    estilo, captura, dispositivo, minimo = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    bpm, esperados = ler_smf(estilo)
    tick_us = 937500 // bpm
    enviados = []
    for linha in open(captura):
        campos = linha.split()
        # Five fields, or six with the time the message is to sound, which is what the
        # listener hears and so what the tempo is checked against.
        if len(campos) in (5, 6) and int(campos[1]) == dispositivo and int(campos[2]) == 0x99 and int(campos[4]) > 0:
            enviados.append((int(campos[5] if len(campos) == 6 else campos[0]), int(campos[3])))
    if len(enviados) < minimo:
        sys.exit(f'only {len(enviados)} drum strokes captured, expected at least {minimo}')
    n = min(len(enviados), len(esperados))
    notas_enviadas = [nota for _, nota in enviados[:n]]
    notas_esperadas = [g[3] for g in esperados[:n]]
    if notas_enviadas != notas_esperadas:
        sys.exit(f'strokes differ: sent {notas_enviadas[:20]} expected {notas_esperadas[:20]}')
    # Against the grid that fits best, not against the first stroke: on a loaded
    # machine the first beat alone may be handled a few ticks late.
    diferencas = [(enviados[k][0] - enviados[0][0]) - (esperados[k][0] - esperados[0][0]) * tick_us
                  for k in range(n)]
    deslocamento = statistics.median(diferencas)
    desvios = [abs(d - deslocamento) for d in diferencas]
    mediana = statistics.median(desvios)
    print(f'{n} strokes at {bpm} BPM ({tick_us} us per tick): median deviation {mediana:.0f} us, '
          f'largest {max(desvios)} us')
    # Generous bounds: a loaded machine delays the GUI thread, never the order.
    if mediana > 30000 or max(desvios) > 250000:
        sys.exit('strokes are not at the times of the tempo')


main()
