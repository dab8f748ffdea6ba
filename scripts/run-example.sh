#!/usr/bin/env bash
# The main job: builds the plug-in and the host, then runs a generated stereo
# test signal through the plug-in with a band boost and a low cut, writing
# out/example-output.wav and the measured response out/example-response.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target TessvaneLE tessvane-host

mkdir -p out
# A fresh machine has no FIR-length setting yet: use the installed default.
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
mkdir -p "$settings/Ravelthorpe/Tessvane LE"
printf 8192 > "$settings/Ravelthorpe/Tessvane LE/Latency"
export XDG_CONFIG_DIRS="$settings" XDG_CONFIG_HOME="$settings/user"

# Five seconds of pink noise with a 100 Hz tone, stereo, 48 kHz.
sox -q -n -r 48000 -c 2 -b 24 out/example-input.wav synth 5 pinknoise synth 5 sine mix 100 gain -6

host=build/release/tessvane-host
plugin=build/release/TessvaneLE.so
band=(--param "Filter#3=1" --param "Freq #3=0.5" --param "Gain #3=0.85" --param "Q #3=0.5"
      --param "Filter#1=1" --param "Mode #1=0.75" --param "Freq #1=0.12" --param "Q #1=0.35")

"$host" info "$plugin" | head -12
"$host" render "$plugin" out/example-input.wav out/example-output.wav "${band[@]}"
"$host" response "$plugin" out/example-response.png --sample-rate 48000 "${band[@]}"
