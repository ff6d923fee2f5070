#!/bin/bash
# Installs into a temporary prefix, starts the installed program, uninstalls.
# The build's install manifest is kept as it was.
. "$(dirname "$0")/comum.sh"
BUILD="$2"
PREFIXO="$TRABALHO/prefixo"
manifesto="$BUILD/install_manifest.txt"
[ -f "$manifesto" ] && cp "$manifesto" "$TRABALHO/manifesto.guardado"
restaurar() { if [ -f "$TRABALHO/manifesto.guardado" ]; then cp "$TRABALHO/manifesto.guardado" "$manifesto"; else rm -f "$manifesto"; fi; }
cmake --install "$BUILD" --prefix "$PREFIXO" > "$TRABALHO/instalar.txt" || { restaurar; falhar "install"; }
for f in bin/tamborly lib/tamborly/tamborly lib/tamborly/libSnMidi32.so lib/tamborly/English.idm \
         share/applications/tamborly.desktop share/icons/hicolor/scalable/apps/tamborly.svg \
         share/metainfo/io.github.tamborly.Tamborly.metainfo.xml; do
  [ -e "$PREFIXO/$f" ] || { restaurar; falhar "not installed: $f"; }
done
[ -d "$PREFIXO/lib/tamborly/styles" ] && [ -d "$PREFIXO/lib/tamborly/help" ] || { restaurar; falhar "styles or help missing"; }
grep -q "^Exec=$PREFIXO/bin/tamborly\$" "$PREFIXO/share/applications/tamborly.desktop" || { restaurar; falhar "Exec line"; }
grep -q "%f\|MimeType" "$PREFIXO/share/applications/tamborly.desktop" && { restaurar; falhar "the entry takes arguments"; }
desktop-file-validate "$PREFIXO/share/applications/tamborly.desktop" || { restaurar; falhar "desktop-file-validate"; }
appstreamcli validate --no-net "$PREFIXO/share/metainfo/io.github.tamborly.Tamborly.metainfo.xml" \
  || { restaurar; falhar "appstreamcli validate"; }
printf '[geral]\r\ndriver=0\r\nvolume=100\r\nidioma=English\r\n' > "$PREFIXO/lib/tamborly/tamborly.ini"
iniciar "$PREFIXO/bin/tamborly"
PRINCIPAL="$(janela "$TITULO_PRINCIPAL")" || { restaurar; falhar "the installed program shows no window"; }
fechar_com_sim "$PRINCIPAL"
cmake --build "$BUILD" --target uninstall > "$TRABALHO/desinstalar.txt" || { restaurar; falhar "uninstall"; }
restaurar
[ ! -e "$PREFIXO/bin/tamborly" ] && [ ! -e "$PREFIXO/lib/tamborly" ] && [ ! -e "$PREFIXO/share/applications/tamborly.desktop" ] \
  || falhar "uninstall left files"
echo "ok"
