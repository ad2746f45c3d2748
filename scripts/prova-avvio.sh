#!/usr/bin/env bash
# Start-up check, run on a (virtual) display: `xvfb-run -a bash scripts/prova-avvio.sh`.
# Starts the program exactly as a user does, with `make run`; answers No to the
# start-up questions about empty word lists; waits for the main window; opens
# the find window and checks that the window manager sees its title exactly;
# closes it and then the program from its menu ("&Esci", Ctrl+E). Fails when a
# step does not happen within LIMITE seconds (the build comes first, untimed) or
# `make run` does not end cleanly.
set -euo pipefail
cd "$(dirname "$0")/.."

LIMITE=${LIMITE:-120}
if [ -z "${DISPLAY:-}" ]; then
  echo "prova-avvio: serve uno schermo (DISPLAY), per esempio con xvfb-run -a" >&2
  exit 1
fi
for programma in xdotool xprop; do
  command -v "$programma" >/dev/null || {
    echo "prova-avvio: manca $programma (scripts/installa-dipendenze.sh)" >&2
    exit 1
  }
done

# The build that `make run` starts with, done first so that the time limit
# counts for the program alone.
make programma </dev/null

registro=$(mktemp)
# timeout runs `make run` in a process group of its own and ends the whole
# group, the program included, when the time is up or when it is stopped.
timeout -k 5 "$LIMITE" make run </dev/null >"$registro" 2>&1 &
avvio=$!
scadenza=$((SECONDS + LIMITE))

fallisci() {
  echo "prova-avvio: $*" >&2
  echo "--- uscita di make run ---" >&2
  cat "$registro" >&2
  kill "$avvio" 2>/dev/null || true
  wait "$avvio" 2>/dev/null || true
  rm -f "$registro"
  exit 1
}

# Visible windows whose title matches the regular expression $1.
finestre() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# The title the window manager shows (_NET_WM_NAME, in UTF-8).
titolo() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
e_dialogo() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; }
in_tempo() { [ "$SECONDS" -lt "$scadenza" ] || fallisci "tempo scaduto: $*"; }
in_corso() { kill -0 "$avvio" 2>/dev/null || fallisci "make run è terminato prima del tempo"; }

# The main window; the boxes shown before it (the same title) are answered No.
principale=""
while [ -z "$principale" ]; do
  in_tempo "la finestra principale non è comparsa"
  in_corso
  for w in $(finestre '^Quadrivo$'); do
    if e_dialogo "$w"; then
      xdotool windowfocus --sync "$w" key Escape 2>/dev/null || true
    else
      principale=$w
    fi
  done
  [ -n "$principale" ] || sleep 0.5
done
[ "$(titolo "$principale")" = "Quadrivo" ] ||
  fallisci "il titolo della finestra principale è \"$(titolo "$principale")\", non \"Quadrivo\""
echo "prova-avvio: finestra principale \"Quadrivo\" mostrata"

# The find window: the title the window manager shows is exactly "Trova".
trova=""
until [ -n "$trova" ]; do
  in_tempo "la finestra \"Trova\" non è comparsa con il titolo esatto"
  in_corso
  xdotool windowfocus --sync "$principale" key ctrl+t 2>/dev/null || true
  sleep 1
  trova=$(finestre '^Trova' | head -n 1)
done
[ "$(titolo "$trova")" = "Trova" ] ||
  fallisci "il titolo della finestra di ricerca è \"$(titolo "$trova")\", non \"Trova\""
while [ -n "$(finestre '^Trova')" ]; do
  in_tempo "la finestra \"Trova\" non si è chiusa"
  xdotool windowfocus --sync "$trova" key alt+c 2>/dev/null || true
  sleep 1
done
echo "prova-avvio: finestra \"Trova\" aperta e chiusa"

# "&Esci" ends the program; make run then ends with it.
while kill -0 "$avvio" 2>/dev/null; do
  in_tempo "il programma non si è chiuso"
  xdotool windowfocus --sync "$principale" key ctrl+e 2>/dev/null || true
  sleep 1
done
stato=0
wait "$avvio" || stato=$?
[ "$stato" -eq 0 ] || fallisci "make run è terminato con lo stato $stato"
rm -f "$registro"
echo "prova-avvio: il programma si è avviato e chiuso correttamente"
