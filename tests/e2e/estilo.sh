#!/bin/bash
# (b) With a stored device, a style opened through the Styles button plays: the
# rendered WAV holds sound and the capture holds the style's drum strokes at the
# times its tempo gives.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Disco.mid}"
[ -f "$APP/styles/$ESTILO" ] || falhar "no style $ESTILO in $APP/styles"
export SNMIDI32_AUDIO="file:$TRABALHO/som.wav"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
configurar 0
tocar_estilo "$ESTILO"
# Two seconds of playing, counted from the first stroke: a message put that long after it.
primeiro="$(capturadas '$2 == 0 && $3 == 153 && $5 > 0 {print $1; exit}')"
esperar_captura "\$1 >= $primeiro + 2000000" 1 60 "the style stopped before two seconds"
fechar_com_sim "$PRINCIPAL"
python3 "$(dirname "$0")/conferir_captura.py" "$APP/styles/$ESTILO" "$SNMIDI32_CAPTURE" 0 4 || falhar "capture"
rms="$(sox "$TRABALHO/som.wav" -n stat 2>&1 | awk '/RMS     amplitude/ {print $3}')"
awk -v r="$rms" 'BEGIN { exit !(r > 0.0005) }' || falhar "the WAV is silent (RMS $rms)"
echo "ok (RMS $rms)"
