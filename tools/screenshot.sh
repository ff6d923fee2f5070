#!/bin/bash
# Screenshots of Tamborly for reviews and the README.
#   tools/screenshot.sh [BUILD_DIR]        (default: build)
# Writes PNG files into BUILD_DIR/screenshots:
#   kit-*.png       the kit with a few notes lit, drawn from the artwork's own scene
#   window-*.png    the window as the help pages show it (English, Português)
#   running-*.png   the real program under Xvfb, when it is built and Xvfb is installed:
#                   at rest, with three drum keys held, and with the keyboard help open
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$(cd "${1:-$source_dir/build}" && pwd)"
out="$build_dir/screenshots"
mkdir -p "$out"

cmake --build "$build_dir" --target tamborly-render tamborly_help_pictures -j2 >/dev/null

# The kit in a few moments of a groove; each state names the struck groups of
# assets/artwork/kit.svg, exactly as the player's overlays show them.
list="$out/kit.pics"
cat > "$list" <<'PICS'
kit-rest        -                                                                                     sheet  png
kit-backbeat    caixa-on+baq-caixa+bumbo-on+!pedal-bumbo+pe-bumbo-on+!pe-bumbo+chimbal-on+!chimbal+pedal-chimbal-on+!pedal-chimbal+pe-chimbal-on+!pe-chimbal  sheet  png
kit-crash       prato3-on+!prato3+baq-prato3+bumbo-on+!pedal-bumbo+pe-bumbo-on+!pe-bumbo                sheet  png
kit-ride-toms   attack2-on+!attack2+baq-attack2+ton1-on+baq-ton1+surdo2-on+baq-surdo2                   sheet  png
kit-open-hat    baq-chimbal2+prato2-on+!prato2+baq-prato2+baq-aro                                       sheet  png
PICS
QT_QPA_PLATFORM=offscreen "$build_dir/tools/render/tamborly-render" \
  --sheet "$source_dir/assets/artwork/kit.svg" --list "$list" --out "$out"
rm -f "$list"
cp "$build_dir/artwork/help/English/window.png" "$out/window-English.png"
cp "$build_dir/artwork/help/Portugues/window.png" "$out/window-Portugues.png"

# The running window, once the program and its language files are built.
app="$build_dir/app"
if [[ -x "$app/tamborly" && -f "$app/English.idm" ]] && command -v Xvfb >/dev/null && command -v import >/dev/null; then
  run="$(mktemp -d)"
  trap 'kill "${pid:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$run"' EXIT
  cp -r "$app"/. "$run"/
  # A stored language and device, so neither the chooser nor the wizard shows.
  printf '[geral]\r\ndriver=0\r\nvolume=80\r\nidioma=English\r\n' > "$run/tamborly.ini"
  # Xvfb picks a free display and writes its number once it accepts clients.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$run/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 1 100); do
    [[ -s "$run/display" ]] && break
    sleep 0.1
  done
  display=":$(head -n1 "$run/display")"
  DISPLAY="$display" SNMIDI32_AUDIO=null "$run/tamborly" &
  pid=$!
  # The player window is the one with the 793 x 527 client area; wait for it.
  window=""
  for _ in $(seq 1 80); do
    window="$(DISPLAY="$display" xwininfo -root -tree 2>/dev/null | awk '/793x527/ {print $1; exit}')"
    [[ -n "$window" ]] && break
    sleep 0.25
  done
  if [[ -n "$window" ]]; then
    sleep 1
    DISPLAY="$display" import -window "$window" "$out/running-English.png"
    if command -v xdotool >/dev/null; then
      # Hold the snare, the bass drum and the first crash: the kit lights them.
      DISPLAY="$display" xdotool windowfocus --sync "$window" keydown a keydown space keydown o || true
      sleep 0.3
      DISPLAY="$display" import -window "$window" "$out/running-keys-English.png"
      DISPLAY="$display" xdotool keyup a keyup space keyup o || true
      # Open the keyboard help with the small keyboard: the keys show over the kit.
      DISPLAY="$display" xdotool mousemove --window "$window" 730 418 click 1 || true
      sleep 0.4
      DISPLAY="$display" import -window "$window" "$out/running-help-English.png"
    fi
  else
    echo "screenshot.sh: the player window did not appear; no running screenshots" >&2
  fi
fi

ls -1 "$out"/*.png
