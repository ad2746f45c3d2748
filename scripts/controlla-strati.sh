#!/usr/bin/env bash
# Checks the layers of src/: the core (nucleo/) includes no window, platform or
# command header, the platform layer no window header, and the core's subject
# folders include each other downwards only. Prints every wrong include.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
cd "$src"

# Rank of each core folder: a file may include its own folder or a lower rank.
# Folders of equal rank do not include each other.
declare -A rango=([testo]=0 [codice]=1 [ricerca]=2 [elenchi]=2 [pseudocodifica]=3 [.]=4)

errori=0
segnala() { echo "$1: include \"$2\" ($3)"; errori=$((errori + 1)); }

while IFS= read -r -d '' file; do
  cartella=$(dirname "${file#nucleo/}")
  [ "$cartella" = "$(dirname nucleo/x)" ] && cartella=.
  while IFS= read -r incluso; do
    case "$incluso" in
      finestre/* | piattaforma/* | cli/*) segnala "$file" "$incluso" "il nucleo non vede gli strati sopra" ;;
      nucleo/*)
        altra=$(dirname "${incluso#nucleo/}")
        [ "$altra" = "$(dirname x)" ] && altra=.
        [ "$altra" = "$cartella" ] && continue
        if [ "${rango[$altra]}" -ge "${rango[$cartella]}" ]; then
          segnala "$file" "$incluso" "$cartella non include $altra"
        fi ;;
    esac
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find nucleo \( -name '*.h' -o -name '*.cpp' \) -print0)

while IFS= read -r -d '' file; do
  grep -q '^#include "finestre/' "$file" && segnala "$file" "finestre/..." "la piattaforma non vede le finestre"
done < <(find piattaforma \( -name '*.h' -o -name '*.cpp' \) -print0)

if [ "$errori" -gt 0 ]; then
  echo "$errori inclusioni fuori dagli strati"
  exit 1
fi
echo "strati in ordine"
