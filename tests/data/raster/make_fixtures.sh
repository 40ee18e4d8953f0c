#!/bin/sh
# Remakes gdi_reference.txt: the GDI reference hashes that raster_tests check our
# shapes and stretches against. Needs mingw-w64 and Wine (Debian: apt-get install
# mingw-w64 wine); neither is needed to build or run the tests.
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
x86_64-w64-mingw32-gcc -O1 -Wall -o "$tmp/gdi_reference.exe" gdi_reference.c -lgdi32
export WINEPREFIX="${WINEPREFIX:-$tmp/prefix}" WINEDEBUG=-all
wine "$tmp/gdi_reference.exe" | tr -d '\r' > gdi_reference.txt
wineserver -w
