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
# A drum stroke: the drum track's own channel volume came before it, in the same tick.
tocar_estilo "$ESTILO"
# 16 full ones as the output starts (before the stored volume is known, and before
# any note), 16 at the first showing, 16 as the song opens, then the song's own.
quantos="$(capturadas '$2 == 0 && $3 >= 176 && $3 <= 191 && $4 == 7' | wc -l)"
[ "$quantos" -gt 48 ] || falhar "the song sent no channel volume ($quantos in all)"
volumes="$(capturadas '$2 == 0 && $3 >= 176 && $3 <= 191 && $4 == 7 && ++n > 16 {print $5}' | sort -u | tr '\n' ' ')"
[ "$volumes" = "0 " ] || falhar "channel volumes with the slider at the bottom: '$volumes'"

# Only the main window of the program is visible: no list, no hint over it.
outras_janelas() {
  outra_janela "$PRINCIPAL" > /dev/null
}
sem_outras_janelas() {
  ! outras_janelas
}
antes=$(linhas_captura)
clicar "$PRINCIPAL" 197 507   # Stop: from now on only the keys sound
esperar_captura '$2 == 0 && $3 == 201 && $4 == 0' 1 30 "Stop did not give the drum channel its kit back" "$((antes + 1))"
clicar "$PRINCIPAL" 715 502   # the Tracks selector takes the focus and opens its list
esperar_ate 30 outras_janelas || falhar "the Tracks selector opened no list"
xdotool key Escape            # the list closes; the selector keeps the focus
xdotool mousemove --window "$PRINCIPAL" 400 250   # no hint left over the selector
esperar_ate 30 sem_outras_janelas || falhar "the list or a hint stayed open"
inicio=$(( $(linhas_captura) + 1 ))
xdotool key space a space d
esperar_captura '$2 == 0 && $3 == 153 && $5 > 0' 4 30 "drum keys after the Tracks selector: '$(golpes_desde "$inicio")'" "$inicio"
golpes="$(golpes_desde "$inicio")"
[ "$golpes" = "35/127 38/127 35/127 46/127 " ] || falhar "drum keys after the Tracks selector: '$golpes'"
# No list of the selector is open: a popup would be a second visible window of the program.
sem_outras_janelas || falhar "a list opened over the window"
fechar_com_sim "$PRINCIPAL"
echo "ok (volumes $volumes, strokes $golpes)"
