#!/bin/bash
# (d) The volume slider is a real master volume and drum keys are the kit's alone.
# With the stored volume at 0, a style that sets its own channel volumes plays
# silent (every controller 7 it sends arrives as 0). After the Tracks selector
# was clicked, Space, A and D still strike the kit and never open its list.
. "$(dirname "$0")/comum.sh"
ESTILO="${2:-Rock.mid}"
[ -f "$APP/styles/$ESTILO" ] || falhar "no style $ESTILO in $APP/styles"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
printf '[geral]\r\ndriver=0\r\nvolume=0\r\nidioma=English\r\n' > "$APP/tamborly.ini"
iniciar
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
sleep 2
abrir_estilo "$PRINCIPAL" "$ESTILO"

# A drum stroke: the drum track's own channel volume came before it, in the same tick.
limite=$(( $(date +%s) + 30 ))
until grep -q " 0 153 " "$SNMIDI32_CAPTURE" 2>/dev/null; do
  [ "$(date +%s)" -lt "$limite" ] || falhar "the song did not play: $(tail -3 "$TRABALHO/saida.txt")"
  sleep 0.1
done
# 16 full ones as the output starts (before the stored volume is known, and before
# any note), 16 at the first showing, 16 as the song opens, then the song's own.
quantos="$(awk '$2 == 0 && $3 >= 176 && $3 <= 191 && $4 == 7' "$SNMIDI32_CAPTURE" | wc -l)"
[ "$quantos" -gt 48 ] || falhar "the song sent no channel volume ($quantos in all)"
volumes="$(awk '$2 == 0 && $3 >= 176 && $3 <= 191 && $4 == 7 && ++n > 16 {print $5}' "$SNMIDI32_CAPTURE" | sort -u | tr '\n' ' ')"
[ "$volumes" = "0 " ] || falhar "channel volumes with the slider at the bottom: '$volumes'"

clicar "$PRINCIPAL" 197 507   # Stop: from now on only the keys sound
sleep 1
clicar "$PRINCIPAL" 715 502   # the Tracks selector takes the focus (and opens its list)
sleep 0.5
xdotool key Escape            # the list closes; the selector keeps the focus
xdotool mousemove --window "$PRINCIPAL" 400 250   # no hint left over the selector
sleep 1
inicio=$(wc -l < "$SNMIDI32_CAPTURE")
for tecla in space a space d; do
  xdotool key "$tecla"
  sleep 0.3
done
limite=$(( $(date +%s) + 10 ))
golpes=""
while [ "$golpes" != "35/127 38/127 35/127 46/127 " ]; do
  [ "$(date +%s)" -lt "$limite" ] || break
  sleep 0.2
  golpes="$(tail -n +"$((inicio + 1))" "$SNMIDI32_CAPTURE" | awk '$2 == 0 && $3 == 153 && $5 > 0 {printf "%s/%s ", $4, $5}')"
done
[ "$golpes" = "35/127 38/127 35/127 46/127 " ] || falhar "drum keys after the Tracks selector: '$golpes'"
# No list of the selector is open: a popup would be a second visible window of the program.
if xdotool search --onlyvisible --pid "$PID_TAMBORLY" 2>/dev/null | grep -qv "^$PRINCIPAL\$"; then
  falhar "a list opened over the window"
fi
fechar_com_sim "$PRINCIPAL"
echo "ok (volumes $volumes, strokes $golpes)"
