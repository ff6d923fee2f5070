#!/bin/bash
# The desktop entry written at install time names the launcher by the prefix; a
# prefix with blanks or other reserved characters is quoted and escaped as the
# desktop entry rules ask, and desktop-file-validate accepts every form.
set -euo pipefail
DESKTOP_IN="$1"
SCRIPT="$2"
TRABALHO="$(mktemp -d /tmp/tamborly-entrada.XXXXXX)"
trap 'rm -rf "$TRABALHO"' EXIT
falhas=0
conferir() {  # prefix expected-Exec-line
  rm -rf "$TRABALHO/destino"
  DESTDIR="$TRABALHO/destino" cmake -DCMAKE_INSTALL_PREFIX="$1" -DTAMBORLY_DESKTOP_IN="$DESKTOP_IN" \
    -DPROJECT_VERSION=9.8.7 -P "$SCRIPT" > /dev/null
  local entrada="$TRABALHO/destino$1/share/applications/tamborly.desktop"
  local linha
  linha="$(grep '^Exec=' "$entrada")"
  if [ "$linha" != "$2" ]; then
    echo "prefix $1: got $linha, expected $2" >&2; falhas=1
  fi
  desktop-file-validate "$entrada" || { echo "prefix $1: not valid" >&2; falhas=1; }
  grep -qx 'X-Tamborly-Version=9.8.7' "$entrada" || { echo "prefix $1: no version" >&2; falhas=1; }
}
conferir /usr 'Exec=/usr/bin/tamborly'
conferir /home/ana/.local 'Exec=/home/ana/.local/bin/tamborly'
conferir '/opt/my apps' 'Exec="/opt/my apps/bin/tamborly"'
conferir '/opt/x;y' 'Exec="/opt/x;y/bin/tamborly"'
# Inside the quotes " ` and $ take a backslash; the entry's string rules then double
# every backslash. (CMake itself turns a backslash in a prefix into a slash.)
conferir '/opt/a$b"c`e' 'Exec="/opt/a\\$b\\"c\\`e/bin/tamborly"'
[ "$falhas" -eq 0 ] && echo ok
exit "$falhas"
