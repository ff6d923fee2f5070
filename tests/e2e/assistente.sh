#!/bin/bash
# (a) With no stored device the wizard appears; confirming device 0 and closing
# the window with Yes stores driver=0, and the next start goes straight to the player.
# The wizard plays its real scale here: 24 notes of 80 ms each.
. "$(dirname "$0")/comum.sh"
export SNMIDI32_CAPTURE="$TRABALHO/captura.txt"
configurar -1
iniciar
ASSISTENTE="$(janela "$TITULO_ASSISTENTE")" || falhar "no wizard"
# Proceed, I heard it, Finish: the three share one place.
clicar "$ASSISTENTE" 463 233
ESCALA='$2 == 0 && $3 == 145 && $4 >= 60 && $4 <= 83'
esperar_captura "$ESCALA" 48 60 "the wizard played no scale on device 0"
awk '$2 == 0 && $3 == 145 && $4 >= 60 && $4 <= 83 {
       if ($5 > 0) inicio[$4] = $1; else if ($1 - inicio[$4] < 79000) { print "note " $4 " sounded " $1 - inicio[$4] " us"; exit 1 } }' \
  "$SNMIDI32_CAPTURE" || falhar "a note of the scale was shorter than 80 ms"
# The clicks that queued up while the scale played are dropped once it ends; a click
# that comes that early is lost too, so Heard is clicked until the wizard moves on.
# Finish closes it, and the player window shows.
ouvido() {
  clicar "$ASSISTENTE" 463 233   # Heard, or Finish once Heard was taken
  esperar_ate 2 invisivel "$TITULO_ASSISTENTE"
}
esperar_ate 60 ouvido || falhar "the wizard did not close"
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
fechar_com_sim "$PRINCIPAL"
grep -q "^driver=0"$'\r'"\$" "$APP/tamborly.ini" || falhar "driver=0 not written: $(cat "$APP/tamborly.ini")"

# The second start opens device 0 at its first showing, with no wizard before it.
export SNMIDI32_CAPTURE="$TRABALHO/captura2.txt"
iniciar
janela "$TITULO_PRINCIPAL" >/dev/null || falhar "no player window on the second start"
pronta_ou_assistente() {
  pronta || visivel "$TITULO_ASSISTENTE"
}
esperar_ate 60 pronta_ou_assistente || falhar "the player window did not open device 0"
visivel "$TITULO_ASSISTENTE" && falhar "the wizard came again"
encerrar
echo "ok"
