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

clicar() {  # window x y
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.2 click 1
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
fechar_com_sim() {  # window
  clicar "$1" 638 18
  sleep 1
  xdotool key y   # the question's Yes, by its mnemonic
  esperar_fim 60
}

# Opens a style through the Styles button: the dialog starts in the styles folder.
abrir_estilo() {  # window style-file-name
  clicar "$1" 586 506
  sleep 2
  xdotool type --delay 20 "$2"
  sleep 0.3
  xdotool key Return
}
