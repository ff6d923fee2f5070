#!/usr/bin/env python3
"""Checks two captures of tamborly-play on one style: NORMAL at the song's own
speed, PRACTICE with --speed 50 --count-in --metronome. In PRACTICE one bar of
count-in clicks (Hi Wood Block 76 first, then Low Wood Block 77) at half the
song's tempo comes before the song, whose first stroke sounds one beat after the
last click; then a click on every beat, the first of each bar accented; and the
song's own strokes are those of NORMAL, twice as far apart.

conferir_pratica.py STYLE.mid NORMAL.txt PRACTICE.txt"""
import statistics
import struct
import sys

ACENTO, BATIDA = 76, 77


def ler_vlq(dados, i):
    valor = 0
    while True:
        b = dados[i]
        i += 1
        valor = (valor << 7) | (b & 0x7F)
        if not b & 0x80:
            return valor, i


def andamento_e_compasso(caminho):
    """The first Set Tempo of the first track (BPM) and the first time signature."""
    dados = open(caminho, 'rb').read()
    ntrilhas = struct.unpack('>H', dados[10:12])[0]
    i = 8 + struct.unpack('>I', dados[4:8])[0]
    bpm, compasso = None, None
    for t in range(ntrilhas):
        fim = i + 8 + struct.unpack('>I', dados[i + 4:i + 8])[0]
        i += 8
        status = 0
        while i < fim:
            _, i = ler_vlq(dados, i)
            b = dados[i]
            if b == 0xFF:
                tipo = dados[i + 1]
                n, j = ler_vlq(dados, i + 2)
                if tipo == 0x51 and t == 0 and bpm is None:
                    bpm = 60000000 // int.from_bytes(dados[j:j + 3], 'big')
                if tipo == 0x58 and compasso is None:
                    compasso = (dados[j], 1 << dados[j + 1])
                i = j + n
                continue
            if b in (0xF0, 0xF7):
                n, j = ler_vlq(dados, i + 1)
                i = j + n
                continue
            if b & 0x80:
                status = b
                i += 1
            i += 1 if (status & 0xF0) in (0xC0, 0xD0) else 2
        i = fim
    return bpm or 120, compasso or (4, 4)


def golpes(captura):
    """(microseconds, note) of every drum-channel note-on sent to device 0."""
    lidos = []
    for linha in open(captura):
        campos = linha.split()
        if len(campos) in (5, 6) and int(campos[1]) == 0 and int(campos[2]) == 0x99 and int(campos[4]) > 0:
            lidos.append((int(campos[0]), int(campos[3])))
    return lidos


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
