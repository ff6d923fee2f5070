#!/bin/bash
# tamborly-play on a style, at its own speed and at 50 % with count-in and
# metronome: the capture files hold the clicks and the song's strokes twice as
# far apart.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Rock.mid}"
[ -f "$APP/styles/$ESTILO" ] || falhar "no style $ESTILO in $APP/styles"
tocar() {  # capture seconds options...
  local captura="$1" segundos="$2"
  shift 2
  # Ctrl+C (SIGINT) ends the player cleanly after the given time.
  SNMIDI32_CAPTURE="$captura" timeout -s INT "$segundos" "$APP/tamborly-play" "$APP/styles/$ESTILO" "$@" \
    > "$TRABALHO/saida.txt" 2>&1 || true
  [ -s "$captura" ] || falhar "tamborly-play $* captured nothing: $(tail -c 300 "$TRABALHO/saida.txt")"
}
tocar "$TRABALHO/normal.txt" 6
tocar "$TRABALHO/pratica.txt" 14 --speed 50 --count-in --metronome
grep -q "(50 %)" "$TRABALHO/saida.txt" || falhar "the beat line does not show the speed"
python3 "$(dirname "$0")/conferir_pratica.py" "$APP/styles/$ESTILO" "$TRABALHO/normal.txt" "$TRABALHO/pratica.txt" \
  || falhar "capture"
