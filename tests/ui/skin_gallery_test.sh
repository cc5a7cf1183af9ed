#!/usr/bin/env bash
# nivra-tool skin-gallery: --help, refused arguments, and a screenshot written as a PNG of the
# gallery's size with the machine-readable line.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" skin-gallery --help | grep -q '^usage: nivra-tool skin-gallery'
set +e
"$tool" skin-gallery --bogus 2>"$work/err"
rc=$?
set -e
[ "$rc" -eq 2 ] || { echo "bad argument gave $rc"; exit 1; }
[ "$(wc -l <"$work/err")" -eq 1 ] || { echo "not one line: $(cat "$work/err")"; exit 1; }

out=$("$tool" skin-gallery --screenshot "$work/gallery.png")
[ "$out" = "screenshot=$work/gallery.png size=990x680" ] || { echo "output: $out"; exit 1; }
magic=$(head -c 8 "$work/gallery.png" | od -An -tx1 | tr -d ' \n')
[ "$magic" = "89504e470d0a1a0a" ] || { echo "not a PNG: $magic"; exit 1; }
# Width and height from the IHDR chunk.
size=$(od -An -tu1 -j16 -N8 "$work/gallery.png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
[ "$size" = "990x680" ] || { echo "size $size"; exit 1; }
echo "skin-gallery ok"
