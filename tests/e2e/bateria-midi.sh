#!/bin/bash
# A drum kit on MIDI input: the program opens the kit stored by name at start, and
# with "Sound my kit through Tamborly" each hit of a replay device reaches the output
# on channel 10 with its own velocity; a kit that is missing is reported, not fatal.
. "$(dirname "$0")/comum.sh"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
printf '300000 153 38 101\n350000 137 38 0\n400000 144 49 77\n450000 153 36 0\n' > "$TRABALHO/kit.txt"
export SNMIDI32_INPUT_DEVICES="Replay Kit:$TRABALHO/kit.txt"
configurar 0
printf 'entrada=Replay Kit\r\nsomKit=1\r\n' >> "$APP/tamborly.ini"
iniciar
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
esperar_captura '$2 == 0 && $3 == 153 && $5 > 0' 2 30 "the kit's hits did not sound"
golpes="$(golpes_desde)"
[ "$golpes" = "38/101 49/77 " ] || falhar "kit hits sounded as '$golpes'"
fechar_com_sim "$PRINCIPAL"
grep -q '^entrada=Replay Kit' "$APP/tamborly.ini" || falhar "the kit was not kept by name"

# Started again without the kit: one message, and the choice is kept.
export SNMIDI32_INPUT_DEVICES=""
iniciar
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window without the kit"
AVISO="$(janela "Tamborly" 30)" || falhar "no message for the missing kit"
xdotool windowfocus --sync "$AVISO" key Return
esperar_ate 30 invisivel "Tamborly" || falhar "the message stayed"
kill -0 "$PID_TAMBORLY" || falhar "the program ended without its kit"
fechar_com_sim "$PRINCIPAL"
grep -q '^entrada=Replay Kit' "$APP/tamborly.ini" || falhar "the missing kit was not kept"
echo "ok ($golpes)"
