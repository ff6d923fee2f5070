#!/bin/bash
# Hostile files: FIFOs where the program and the library read or write files never
# hold the start, a missing driver library is reported once (Enter on the message
# does not bring it back), and tamborly-play says why a file cannot be played and
# takes a file name that is not UTF-8.
. "$(dirname "$0")/comum.sh"
TITULO_IDIOMAS="Internationalization"

# A window (the player, or a message) within 30 s, else the start hung (a FIFO
# opened blocking holds it for ever; a slow machine is given room).
alguma_janela() {  # title...
  local limite=$(( $(date +%s) + 30 ))
  while [ "$(date +%s)" -lt "$limite" ]; do
    for titulo in "$@"; do
      xdotool search --onlyvisible --name "^$titulo\$" 2>/dev/null | head -1 | grep . && return 0
    done
    sleep 0.2
  done
  return 1
}

# (a) FIFOs as the settings file, the picture file of the language, the
# soundfont, the capture file and the audio file.
mkfifo "$APP/tamborly.ini" "$APP/fonte.sf2" "$APP/captura.txt" "$APP/audio.wav"
SNMIDI32_SOUNDFONT="$APP/fonte.sf2" SNMIDI32_CAPTURE="$APP/captura.txt" SNMIDI32_AUDIO="file:$APP/audio.wav" iniciar
alguma_janela "$TITULO_PRINCIPAL" >/dev/null || falhar "FIFOs held the start"
encerrar
rm -f "$APP/tamborly.ini"
mv "$APP/English.dat" "$APP/English.dat.real"
mkfifo "$APP/English.dat"
configurar 0
iniciar
alguma_janela "$TITULO_PRINCIPAL" "$TITULO_IDIOMAS" >/dev/null || falhar "a FIFO picture file held the start"
encerrar
rm -f "$APP/English.dat"
mv "$APP/English.dat.real" "$APP/English.dat"

# (b) No driver library: one message at the start; Enter dismisses it, and
# drum keys, Enter and Ctrl bring no other.
rm -f "$APP/libSnMidi32.so"
configurar 0
iniciar
MENSAGEM="$(alguma_janela "Tamborly")" || falhar "no message without the library"
xdotool windowfocus --sync "$MENSAGEM" key Return
PRINCIPAL="$(janela "$TITULO_PRINCIPAL" 10)" || falhar "no player window without the library"
xdotool windowfocus --sync "$PRINCIPAL"
xdotool key a s space Return Control_L Return x Return
# The close question comes after the keys: a message they brought back would stand
# before it, modal, and keep the window from closing.
clicar "$PRINCIPAL" 638 18
PERGUNTA="$(esperar_outra_janela "$PRINCIPAL")" || falhar "no question on closing"
visivel "Tamborly" && falhar "the message came back"
xdotool windowfocus --sync "$PERGUNTA" key y
esperar_fim 60

# (c) tamborly-play: a FIFO and a folder are not regular files; a Latin-1 name plays.
mkfifo "$TRABALHO/cano.mid"
mkdir "$TRABALHO/pasta.mid"
cp "$APP_ORIGEM/libSnMidi32.so" "$APP/"
for alvo in "$TRABALHO/cano.mid" "$TRABALHO/pasta.mid"; do
  timeout 10 "$APP/tamborly-play" "$alvo" > "$TRABALHO/play.txt" 2>&1 && falhar "tamborly-play played $alvo"
  grep -q "not a regular file" "$TRABALHO/play.txt" || falhar "tamborly-play on $alvo: $(cat "$TRABALHO/play.txt")"
done
ESTILO="$(ls "$APP/styles/"*.mid | head -1)"
cp "$ESTILO" "$TRABALHO/caf"$'\xe9'".mid"
timeout 3 "$APP/tamborly-play" "$TRABALHO/caf"$'\xe9'".mid" > "$TRABALHO/play.txt" 2>&1 || true
grep -q "no such file\|cannot play" "$TRABALHO/play.txt" && falhar "a Latin-1 name: $(cat "$TRABALHO/play.txt")"
echo "ok"
