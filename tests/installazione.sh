#!/usr/bin/env bash
# Installs the build in $1 into a temporary prefix and checks what a desktop
# needs: the program and the library it loads, the desktop entry (validated),
# the icons at every size and the credits file where the program looks for it.
set -euo pipefail
build=$1
prefisso=$(mktemp -d)
trap 'rm -rf "$prefisso"' EXIT
errori=0
errore() { echo "ERRORE: $*" >&2; errori=$((errori + 1)); }

cmake --install "$build" --prefix "$prefisso" >/dev/null

programma=$prefisso/bin/quadrivo
[ -x "$programma" ] || errore "manca bin/quadrivo"
# The core library must come from the prefix, not from the build folder.
libreria=$(ldd "$programma" | sed -n 's/^\s*libquadrivo_core\.so => \(\S*\) .*/\1/p')
case "$libreria" in
  "$prefisso"/*) ;;
  *) errore "bin/quadrivo carica libquadrivo_core.so da \"$libreria\", fuori dal prefisso" ;;
esac

voce=$prefisso/share/applications/quadrivo.desktop
if [ -f "$voce" ]; then
  uscita=$(desktop-file-validate "$voce" 2>&1) || errore "desktop-file-validate non riuscito"
  [ -z "$uscita" ] || errore "desktop-file-validate: $uscita"
  for riga in 'Icon=quadrivo' 'Exec=quadrivo %f' 'Type=Application'; do
    grep -qxF "$riga" "$voce" || errore "quadrivo.desktop senza \"$riga\""
  done
  tipi=$(sed -n 's/^MimeType=//p' "$voce")
  for tipo in text/plain text/x-csrc text/x-c++src text/x-chdr text/x-basic application/x-bat; do
    [[ ";$tipi" == *";$tipo;"* ]] || errore "MimeType senza $tipo"
  done
else
  errore "manca share/applications/quadrivo.desktop"
fi

# PNG width and height from the IHDR chunk.
lati_png() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for lato in 16 22 24 32 48 64 128 256; do
  icona=$prefisso/share/icons/hicolor/${lato}x${lato}/apps/quadrivo.png
  if [ -f "$icona" ]; then
    [ "$(lati_png "$icona")" = "${lato}x${lato}" ] || errore "$icona misura $(lati_png "$icona")"
  else
    errore "manca l'icona ${lato}x${lato}"
  fi
done
svg=$prefisso/share/icons/hicolor/scalable/apps/quadrivo.svg
[ -f "$svg" ] && xmllint --noout "$svg" || errore "icona SVG mancante o non valida"
xmllint --noout "$prefisso/share/mime/packages/quadrivo.xml" || errore "tipi MIME mancanti o non validi"

# The installed program looks for its credits in ../share/quadrivo from bin/.
[ -f "$prefisso/bin/../share/quadrivo/crediti.html" ] || errore "manca share/quadrivo/crediti.html"

[ "$errori" -eq 0 ] && echo "installazione completa in $prefisso"
exit "$errori"
