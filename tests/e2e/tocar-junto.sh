#!/bin/bash
# (c) Play-along: with the box ticked the song's own drum strokes are muted, and
# drum keys pressed on the window reach the capture as channel-10 notes.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Disco.mid}"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
configurar 0
iniciar
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
sleep 2
abrir_estilo "$PRINCIPAL" "$ESTILO"
limite=$(( $(date +%s) + 30 ))
until grep -q " 0 153 " "$SNMIDI32_CAPTURE" 2>/dev/null; do
  [ "$(date +%s)" -lt "$limite" ] || falhar "nothing played"
  sleep 0.1
done
clicar "$PRINCIPAL" 503 500   # ckKaraoke
sleep 1.5
xdotool mousemove --window "$PRINCIPAL" 400 250
xdotool windowfocus --sync "$PRINCIPAL" || true
sleep 0.5
inicio=$(wc -l < "$SNMIDI32_CAPTURE")
xdotool key a
sleep 0.5
xdotool key space
sleep 0.5
xdotool key k
sleep 1.5
golpes="$(tail -n +"$((inicio + 1))" "$SNMIDI32_CAPTURE" | awk '$2 == 0 && $3 == 153 && $5 > 0 {printf "%s/%s ", $4, $5}')"
[ "$golpes" = "38/127 35/127 51/127 " ] || falhar "drum strokes while playing along: '$golpes'"
# The rest of the song still plays meanwhile when the style has other tracks.
echo "ok ($golpes)"
