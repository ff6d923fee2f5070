#!/usr/bin/env python3
"""Checks a capture file against a Standard MIDI File: the drum-channel strokes
that were sent are the file's own, in order, at the times its tempo gives.

conferir_captura.py STYLE.mid CAPTURE.txt DEVICE MIN_STROKES"""
import statistics
import sys

from midi_teste import golpes, ler_smf


def golpes_esperados(caminho):
    """The file's tempo in BPM (the first Set Tempo at tick 0 of the first track)
    and its drum strokes as (engine tick, track, order, note), in time order."""
    divisao, trilhas = ler_smf(caminho)
    tempo = 500000
    esperados = []
    for t, eventos in enumerate(trilhas):
        for ordem, (tick, tipo, dados) in enumerate(eventos):
            if tipo == 'meta' and dados[0] == 0x51 and t == 0 and tick == 0:
                tempo = int.from_bytes(dados[1][:3], 'big')
            elif tipo == 'canal' and dados[0] == 0x99 and dados[1][1] > 0:
                esperados.append((int(tick / divisao * 64 + 0.5), t, ordem, dados[1][0]))
    esperados.sort()
    return 60000000 // tempo, esperados


def main():
    estilo, captura, dispositivo, minimo = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    bpm, esperados = golpes_esperados(estilo)
    tick_us = 937500 // bpm
    # When each is to sound, which is what the listener hears and so what the tempo
    # is checked against.
    enviados = golpes(captura, dispositivo, quando_soa=True)
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
