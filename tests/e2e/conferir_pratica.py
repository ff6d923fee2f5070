#!/usr/bin/env python3
"""Checks two captures of tamborly-play on one style: NORMAL at the song's own
speed, PRACTICE with --speed 50 --count-in --metronome. In PRACTICE one bar of
count-in clicks (Hi Wood Block 76 first, then Low Wood Block 77) at half the
song's tempo comes before the song, whose first stroke sounds one beat after the
last click; then a click on every beat, the first of each bar accented; and the
song's own strokes are those of NORMAL, twice as far apart.

conferir_pratica.py STYLE.mid NORMAL.txt PRACTICE.txt"""
import statistics
import sys

from midi_teste import golpes, ler_smf

ACENTO, BATIDA = 76, 77


def andamento_e_compasso(caminho):
    """The first Set Tempo of the first track (BPM) and the first time signature."""
    _, trilhas = ler_smf(caminho)
    bpm, compasso = None, None
    for t, eventos in enumerate(trilhas):
        for _, tipo, dados in eventos:
            if tipo != 'meta':
                continue
            if dados[0] == 0x51 and t == 0 and bpm is None:
                bpm = 60000000 // int.from_bytes(dados[1][:3], 'big')
            if dados[0] == 0x58 and compasso is None:
                compasso = (dados[1][0], 1 << dados[1][1])
    return bpm or 120, compasso or (4, 4)


def falhar(texto):
    sys.exit('FAILED: ' + texto)


def perto(medido, esperado, tolerancia):
    return abs(medido - esperado) <= tolerancia * esperado


def main():
    estilo, normal, pratica = sys.argv[1:4]
    bpm, (numerador, denominador) = andamento_e_compasso(estilo)
    batida_us = 60e6 / (bpm * 0.5) * 4 / denominador  # one beat of the signature at 50 %
    da_musica = [g for g in golpes(normal) if g[1] not in (ACENTO, BATIDA)]
    todos = golpes(pratica)
    cliques = [g for g in todos if g[1] in (ACENTO, BATIDA)]
    musica = [g for g in todos if g[1] not in (ACENTO, BATIDA)]
    if len(musica) < 8 or len(da_musica) < 8:
        falhar(f'too few strokes captured: {len(musica)} at 50 %, {len(da_musica)} at 100 %')
    inicio = musica[0][0]

    # Count-in: the clicks clearly before the song's first stroke.
    contagem = [c for c in cliques if c[0] < inicio - batida_us / 2]
    notas = [n for _, n in contagem]
    if notas != [ACENTO] + [BATIDA] * (numerador - 1):
        falhar(f'count-in clicks {notas} for {numerador}/{denominador}')
    espacos = [b[0] - a[0] for a, b in zip(contagem, contagem[1:])] + [inicio - contagem[-1][0]]
    if not perto(statistics.median(espacos), batida_us, 0.05) or any(not perto(e, batida_us, 0.3) for e in espacos):
        falhar(f'count-in spacing {espacos} us, one beat is {batida_us:.0f} us')

    # Metronome: from the song's first tick, a click every beat, bars accented.
    metronomo = [c for c in cliques if c[0] >= inicio - batida_us / 2]
    if len(metronomo) < 2 * numerador:
        falhar(f'only {len(metronomo)} metronome clicks')
    notas = [n for _, n in metronomo]
    esperadas = [ACENTO if k % numerador == 0 else BATIDA for k in range(len(notas))]
    if notas != esperadas:
        falhar(f'metronome clicks {notas[:12]} expected {esperadas[:12]}')
    espacos = [b[0] - a[0] for a, b in zip(metronomo, metronomo[1:])]
    if not perto(statistics.median(espacos), batida_us, 0.05):
        falhar(f'metronome spacing median {statistics.median(espacos):.0f} us, one beat is {batida_us:.0f} us')

    # The song's strokes: the same, twice as far apart.
    n = min(len(musica), len(da_musica))
    if [g[1] for g in musica[:n]] != [g[1] for g in da_musica[:n]]:
        falhar('the strokes at 50 % are not those at 100 %')
    razoes = [(musica[k][0] - inicio) / (da_musica[k][0] - da_musica[0][0])
              for k in range(n) if da_musica[k][0] - da_musica[0][0] > 100000]
    razao = statistics.median(razoes)
    if not 1.9 <= razao <= 2.1:
        falhar(f'strokes at 50 % are {razao:.3f} times as far apart as at 100 %')
    print(f'{numerador}/{denominador} at {bpm} BPM: {len(contagem)} count-in clicks, {len(metronomo)} metronome clicks, '
          f'{n} strokes {razao:.3f} times as far apart at 50 %')


main()
