#!/bin/bash
# (c) Play-along: with the box ticked the song's own drum strokes are muted, and
# drum keys pressed on the window reach the capture as channel-10 notes.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Disco.mid}"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
configurar 0
tocar_estilo "$ESTILO"
clicar "$PRINCIPAL" 503 500   # ckKaraoke
xdotool mousemove --window "$PRINCIPAL" 400 250
xdotool windowfocus --sync "$PRINCIPAL" || true
# R strikes the splash (55), which the style does not play. The click came first, so
# once R sounds the box is ticked: from there on only the keys may strike.
antes=$(linhas_captura)
xdotool key r
SPLASH='$2 == 0 && $3 == 153 && $4 == 55 && $5 > 0'
esperar_captura "$SPLASH" 1 30 "R did not strike the splash" "$((antes + 1))"
inicio=$(( antes + $(capturadas "$SPLASH {print NR; exit}" "$((antes + 1))") + 1 ))
xdotool key a space k
GOLPE='$2 == 0 && $3 == 153 && $5 > 0'
esperar_captura "$GOLPE" 3 30 "the drum keys did not all strike: '$(golpes_desde "$inicio")'" "$inicio"
# The song plays on meanwhile: a further stroke within a second would be its own.
esperar_ate 1 tem_capturadas "$GOLPE" 4 "$inicio" || true
golpes="$(golpes_desde "$inicio")"
[ "$golpes" = "38/127 35/127 51/127 " ] || falhar "drum strokes while playing along: '$golpes'"
echo "ok ($golpes)"
