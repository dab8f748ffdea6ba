#!/usr/bin/env bash
# Runs a Windows test program under the 64-bit Wine in a prefix of its own
# whose screen has the given DPI (Wine's LogPixels), so that no other suite
# sees it. The prefix's server and services are stopped at the end: ctest
# would otherwise wait for the output they inherited.
#   run_at_dpi.sh <dpi> <prefix folder> <program.exe> [arguments...]
set -u
dpi=$1 prefix=$2
shift 2
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# What the program checks it runs at.
export TESSVANE_SCREEN_DPI=$dpi
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine64" wineboot -i </dev/null >/dev/null 2>&1
"$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
# The DPI is read when the server starts.
"$wineserver" -k
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine64" "$@"
status=$?
"$wineserver" -k
exit $status
