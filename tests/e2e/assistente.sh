#!/bin/bash
# (a) With no stored device the wizard appears; confirming device 0 and closing
# the window with Yes stores driver=0, and the next start goes straight to the player.
. "$(dirname "$0")/comum.sh"
configurar -1
iniciar
ASSISTENTE="$(janela "$TITULO_ASSISTENTE")" || falhar "no wizard"
# Proceed (plays the scale), I heard it, Finish: the three share one place.
clicar "$ASSISTENTE" 463 233
sleep 5
clicar "$ASSISTENTE" 463 233
sleep 1
clicar "$ASSISTENTE" 463 233
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
sleep 1
xdotool search --onlyvisible --name "^$TITULO_ASSISTENTE\$" >/dev/null 2>&1 && falhar "the wizard is still open"
fechar_com_sim "$PRINCIPAL"
grep -q "^driver=0"$'\r'"\$" "$APP/tamborly.ini" || falhar "driver=0 not written: $(cat "$APP/tamborly.ini")"

iniciar
janela "$TITULO_PRINCIPAL" >/dev/null || falhar "no player window on the second start"
sleep 3
xdotool search --onlyvisible --name "^$TITULO_ASSISTENTE\$" >/dev/null 2>&1 && falhar "the wizard came again"
echo "ok"
