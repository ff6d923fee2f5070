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
iniciar
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
sleep 2
abrir_estilo "$PRINCIPAL" "$ESTILO"
# Two seconds of playing, counted from the first stroke.
limite=$(( $(date +%s) + 30 ))
until grep -q " 0 153 " "$SNMIDI32_CAPTURE" 2>/dev/null; do
  [ "$(date +%s)" -lt "$limite" ] || falhar "nothing played: $(tail -3 "$TRABALHO/saida.txt")"
  sleep 0.1
done
sleep 2
fechar_com_sim "$PRINCIPAL"
python3 "$(dirname "$0")/conferir_captura.py" "$APP/styles/$ESTILO" "$SNMIDI32_CAPTURE" 0 4 || falhar "capture"
rms="$(sox "$TRABALHO/som.wav" -n stat 2>&1 | awk '/RMS     amplitude/ {print $3}')"
awk -v r="$rms" 'BEGIN { exit !(r > 0.0005) }' || falhar "the WAV is silent (RMS $rms)"
echo "ok (RMS $rms)"
