#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the benchmarks and the
# start-up check need, and those the program runs at run time (xdg-open).
# Does nothing when they are all present already.
set -euo pipefail

pacchetti=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth x11-utils xdotool
  desktop-file-utils xdg-utils
)

mancanti=()
for p in "${pacchetti[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    mancanti+=("$p")
  fi
done

[ ${#mancanti[@]} -eq 0 ] && exit 0

echo "Installazione dei pacchetti mancanti: ${mancanti[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "Servono i permessi di amministratore per installare: ${mancanti[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
