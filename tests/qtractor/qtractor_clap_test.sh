#!/usr/bin/env bash
# Qtractor's plug-in scanner, a host nobody here wrote, with the CLAP module:
# it prints one line per plug-in, "CLAP|name|audio in:out|midi in:out|
# params in:out|flags|path|index|id". ZamEQ2 from zam-plugins is the
# known-good control. The scanner's host answers null for every host
# extension, so the line also shows that we survive that.
#   qtractor_clap_test.sh MODULE
# Exits 77 (skipped) when Qtractor or zam-plugins' CLAP modules are missing.
set -euo pipefail
module=$1
scanner=/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan
[ -x "$scanner" ] && [ -f /usr/lib/clap/ZamEQ2.clap ] || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/Ravelthorpe/Tessvane LE"
printf 8192 >"$XDG_CONFIG_HOME/Ravelthorpe/Tessvane LE/Latency"
fail() { echo "FAIL: $*"; exit 1; }

scan() { echo "CLAP:$1" | timeout 60 "$scanner" 2>"$work/stderr"; }
control=$(scan /usr/lib/clap/ZamEQ2.clap) || fail "the scanner failed on ZamEQ2: $(cat "$work/stderr")"
grep -q '^CLAP|ZamEQ2|' <<<"$control" || fail "the scanner does not work here: $control"
scanned=$(scan "$module") || fail "the scanner failed on ours: $(cat "$work/stderr")"
# One line for each plug-in in the module: the stereo one, then the M/S one.
[ "$(wc -l <<<"$scanned")" = 2 ] || fail "scanned: $scanned"
for expected in "CLAP|Tessvane LE|2:2|0:0|28:0" "CLAP|Tessvane LE M/S|2:2|0:0|33:0"; do
  IFS='|' read -r format name audio midi params flags path _
  [ "$format|$name|$audio|$midi|$params" = "$expected" ] || fail "scanned: $scanned"
  [[ ",$flags," == *,GUI,* && ",$flags," == *,EXT,* ]] || fail "flags: $flags"
  [ "$path" = "$module" ] || fail "path: $path"
done <<<"$scanned"
[ ! -s "$work/stderr" ] || fail "the plug-in said: $(cat "$work/stderr")"
echo "scanned: $scanned"
