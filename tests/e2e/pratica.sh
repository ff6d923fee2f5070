#!/bin/bash
# tamborly-play on a style, at its own speed and at 50 % with count-in and
# metronome: the capture files hold the clicks and the song's strokes twice as
# far apart.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Rock.mid}"
[ -f "$APP/styles/$ESTILO" ] || falhar "no style $ESTILO in $APP/styles"
tocar() {  # capture options...
  export SNMIDI32_CAPTURE="$1"
  shift
  "$APP/tamborly-play" "$APP/styles/$ESTILO" "$@" > "$TRABALHO/saida.txt" 2>&1 &
  PID_TAMBORLY=$!
  # Enough of the song's own strokes (not the clicks) for the checks: some bars.
  esperar_captura '$2 == 0 && $3 == 153 && $5 > 0 && $4 != 76 && $4 != 77' 32 120 \
    "tamborly-play $* did not play: $(tail -c 300 "$TRABALHO/saida.txt")"
  # Ctrl+C (SIGINT) ends the player cleanly.
  kill -INT "$PID_TAMBORLY"
  esperar_fim 60
}
tocar "$TRABALHO/normal.txt"
tocar "$TRABALHO/pratica.txt" --speed 50 --count-in --metronome
grep -q "(50 %)" "$TRABALHO/saida.txt" || falhar "the beat line does not show the speed"
python3 "$(dirname "$0")/conferir_pratica.py" "$APP/styles/$ESTILO" "$TRABALHO/normal.txt" "$TRABALHO/pratica.txt" \
  || falhar "capture"
