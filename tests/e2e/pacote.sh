#!/bin/bash
# The Debian package: cpack builds it from the build folder, its list of files and
# its Depends are checked, its desktop entry and AppStream metadata validated, and
# the program is started from the package unpacked into a temporary root as a
# system-wide install: a program folder it cannot write, the settings in the
# user's configuration folder.
. "$(dirname "$0")/comum.sh"
BUILD="$2"
VERSAO="$3"
DEB="$TRABALHO/pacote/tamborly_${VERSAO}_$(dpkg --print-architecture).deb"
RAIZ="$TRABALHO/raiz"
# The unpacked program folder is made read-only below: writable again before removal.
trap 'encerrar; chmod -R u+w "$TRABALHO" 2>/dev/null; rm -rf "$TRABALHO"' EXIT

# cpack leaves its staging folder in the current folder: keep it out of the build.
( cd "$TRABALHO" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$TRABALHO/pacote" ) > "$TRABALHO/cpack.txt" 2>&1 \
  || { cat "$TRABALHO/cpack.txt" >&2; falhar "cpack"; }
[ -f "$DEB" ] || falhar "no $(basename "$DEB"): $(ls "$TRABALHO/pacote")"

dpkg-deb -c "$DEB" | awk '{print $6}' > "$TRABALHO/lista.txt"
for f in usr/bin/tamborly usr/lib/tamborly/tamborly usr/lib/tamborly/tamborly-play usr/lib/tamborly/libSnMidi32.so \
         usr/lib/tamborly/English.idm usr/lib/tamborly/English.dat usr/lib/tamborly/Portugues.idm \
         usr/lib/tamborly/Portugues.dat usr/lib/tamborly/styles/Rock.mid usr/lib/tamborly/help/ \
         usr/share/applications/tamborly.desktop usr/share/icons/hicolor/scalable/apps/tamborly.svg \
         usr/share/icons/hicolor/256x256/apps/tamborly.png usr/share/metainfo/io.github.tamborly.Tamborly.metainfo.xml; do
  grep -qx "\./$f" "$TRABALHO/lista.txt" || falhar "not in the package: $f"
done
grep -v '^\./usr/' "$TRABALHO/lista.txt" | grep -vx '\./' && falhar "files outside /usr"
grep -q '\.ini$' "$TRABALHO/lista.txt" && falhar "a settings file in the package"

# Depends: computed from the binaries (Qt, FluidSynth, ALSA, libjpeg) plus the soundfont.
DEPENDE="$(dpkg-deb -f "$DEB" Depends)"
for d in libqt6widgets6 libfluidsynth3 libasound2 libjpeg62-turbo 'fluid-soundfont-gm | timgm6mb-soundfont' libqt6sql6-sqlite; do
  grep -qF "$d" <<< "$DEPENDE" || falhar "Depends lacks $d: $DEPENDE"
done

dpkg -x "$DEB" "$RAIZ"
grep -qx 'Exec=/usr/bin/tamborly' "$RAIZ/usr/share/applications/tamborly.desktop" || falhar "Exec line"
desktop-file-validate "$RAIZ/usr/share/applications/tamborly.desktop" || falhar "desktop-file-validate"
appstreamcli validate --no-net "$RAIZ/usr/share/metainfo/io.github.tamborly.Tamborly.metainfo.xml" \
  || falhar "appstreamcli validate"

# A default beside the program (an administrator's) loses to the user's own file.
printf '[geral]\r\ndriver=0\r\nvolume=99\r\nidioma=English\r\n' > "$RAIZ/usr/lib/tamborly/tamborly.ini"
chmod -R a-w "$RAIZ/usr/lib/tamborly"
export XDG_CONFIG_HOME="$TRABALHO/configuracao"
mkdir -p "$XDG_CONFIG_HOME/tamborly"
# Line feeds only and a key the program drops: after the save the file is the program's own.
printf '[geral]\ndriver=0\nvolume=37\nidioma=English\nvisualizacao=2\n' > "$XDG_CONFIG_HOME/tamborly/tamborly.ini"
# Root may write anywhere: the variable tells the program its folder is read-only.
export TAMBORLY_APP_DIR_READ_ONLY=1
iniciar "$RAIZ/usr/bin/tamborly"
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || falhar "the packaged program shows no window: $(cat "$TRABALHO/saida.txt")"
fechar_com_sim "$PRINCIPAL"
chmod -R u+w "$RAIZ"
[ "$(cat "$XDG_CONFIG_HOME/tamborly/tamborly.ini")" = "$(printf '[geral]\r\ndriver=0\r\nvolume=37\r\nidioma=English\r')" ] \
  || falhar "settings not saved in XDG_CONFIG_HOME: $(od -c "$XDG_CONFIG_HOME/tamborly/tamborly.ini" | head)"
[ "$(cat "$RAIZ/usr/lib/tamborly/tamborly.ini")" = "$(printf '[geral]\r\ndriver=0\r\nvolume=99\r\nidioma=English\r')" ] \
  || falhar "the file beside the program was changed"
echo "ok"
