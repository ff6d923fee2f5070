# Shared steps of the end-to-end tests: a temporary copy of the application
# folder, the real program started under the running X server (xvfb-run), and
# xdotool to find windows and click at the layout's coordinates.
set -euo pipefail

APP_ORIGEM="$1"
TRABALHO="$(mktemp -d /tmp/tamborly-e2e.XXXXXX)"
APP="$TRABALHO/app"
PID_TAMBORLY=""
trap 'encerrar; rm -rf "$TRABALHO"' EXIT
cp -r "$APP_ORIGEM" "$APP"
rm -f "$APP"/*.ini
export SNMIDI32_SOUNDFONT=/usr/share/sounds/sf2/TimGM6mb.sf2
export SNMIDI32_AUDIO="${SNMIDI32_AUDIO:-null}"
TITULO_PRINCIPAL="Tamborly - Drum Rhythm Player"
TITULO_ASSISTENTE="Tamborly - Driver configuration wizard"
TITULO_ESTILOS="Choose a rhythm style"

falhar() {
  echo "FALHOU: $*" >&2
  exit 1
}

configurar() {  # driver
  printf '[geral]\r\ndriver=%s\r\nvolume=100\r\nidioma=English\r\n' "$1" > "$APP/tamborly.ini"
}

iniciar() {  # [program]
  "${1:-$APP/tamborly}" > "$TRABALHO/saida.txt" 2>&1 &
  PID_TAMBORLY=$!
}

encerrar() {
  if [ -n "$PID_TAMBORLY" ] && kill -0 "$PID_TAMBORLY" 2>/dev/null; then
    kill "$PID_TAMBORLY" 2>/dev/null || true
    wait "$PID_TAMBORLY" 2>/dev/null || true
  fi
  PID_TAMBORLY=""
}

# The id of the visible window with that title; fails after a generous wait.
janela() {  # title [seconds]
  timeout "${2:-60}" xdotool search --sync --onlyvisible --name "^$1\$" | head -1
}

# Moves the pointer there and clicks: X delivers the motion before the press.
clicar() {  # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Runs a command every tenth of a second until it succeeds; false after the deadline.
esperar_ate() {  # seconds command...
  local limite=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limite" ] || return 1
    sleep 0.1
  done
}

# Lines of the capture file ($SNMIDI32_CAPTURE) from line $2 on that an awk
# condition selects, e.g. '$2 == 0 && $3 == 153 && $5 > 0' (drum strokes on device 0).
capturadas() {  # condition [first-line]
  tail -n +"${2:-1}" "$SNMIDI32_CAPTURE" 2>/dev/null | awk "$1"
}
linhas_captura() {
  if [ -f "$SNMIDI32_CAPTURE" ]; then wc -l < "$SNMIDI32_CAPTURE"; else echo 0; fi
}
tem_capturadas() {  # condition count [first-line]
  [ "$(capturadas "$1" "${3:-1}" | wc -l)" -ge "$2" ]
}
# Waits until the capture holds that many such lines; fails after the deadline.
esperar_captura() {  # condition count seconds message [first-line]
  esperar_ate "$3" tem_capturadas "$1" "$2" "${5:-1}" || falhar "$4"
}
# The drum strokes (channel 10 note-ons) put to device 0 from a line on, as "note/velocity ".
golpes_desde() {  # [first-line]
  capturadas '$2 == 0 && $3 == 153 && $5 > 0 {printf "%s/%s ", $4, $5}' "${1:-1}"
}

# The window is ready for clicks once its first showing has put the stored volume on
# the device: 16 channel volumes as the output starts, 16 more then.
pronta() {
  tem_capturadas '$2 == 0 && $3 >= 176 && $3 <= 191 && $4 == 7' 32
}
esperar_pronta() {
  esperar_ate 60 pronta || falhar "the window never applied the stored volume: $(tail -3 "$TRABALHO/saida.txt")"
}

visivel() {  # title
  xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}
invisivel() {  # title
  ! visivel "$1"
}

# Waits until the program has ended by itself.
esperar_fim() {  # [seconds]
  local limite=$(( $(date +%s) + ${1:-60} ))
  while kill -0 "$PID_TAMBORLY" 2>/dev/null; do
    [ "$(date +%s)" -lt "$limite" ] || falhar "the program did not end"
    sleep 0.2
  done
  wait "$PID_TAMBORLY" || true
  PID_TAMBORLY=""
}

# Closes the player window with its close button and answers Yes.
# A visible window of the program other than the given one (a dialog or a message
# over it); false when there is none.
outra_janela() {  # window
  xdotool search --onlyvisible --pid "$PID_TAMBORLY" 2>/dev/null | grep -v "^$1\$" | head -1 | grep .
}
# Waits for one and prints its id; false after the deadline.
esperar_outra_janela() {  # window [seconds]
  local limite=$(( $(date +%s) + ${2:-60} ))
  until outra_janela "$1"; do
    [ "$(date +%s)" -lt "$limite" ] || return 1
    sleep 0.1
  done
}

# Closes the player window with its close button and answers Yes. The question
# has an empty title, so it is found as the program's other window.
fechar_com_sim() {  # window
  clicar "$1" 638 18
  local pergunta
  pergunta="$(esperar_outra_janela "$1")" || falhar "no question on closing"
  xdotool windowfocus --sync "$pergunta" key y   # the question's Yes, by its mnemonic
  esperar_fim 60
}

# Opens a style through the Styles button: the dialog starts in the styles folder.
abrir_estilo() {  # window style-file-name
  clicar "$1" 586 506
  local dialogo
  dialogo="$(janela "$TITULO_ESTILOS" 60)" || falhar "no Styles dialog"
  xdotool windowfocus --sync "$dialogo" type --delay 20 "$2"
  xdotool key Return
  esperar_ate 60 invisivel "$TITULO_ESTILOS" || falhar "the Styles dialog did not close"
}

# Starts the program on a style and waits for its first drum stroke.
tocar_estilo() {  # style-file-name
  iniciar
  PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "no player window"
  esperar_pronta
  abrir_estilo "$PRINCIPAL" "$1"
  esperar_captura '$2 == 0 && $3 == 153 && $5 > 0' 1 60 "nothing played: $(tail -3 "$TRABALHO/saida.txt")"
}
