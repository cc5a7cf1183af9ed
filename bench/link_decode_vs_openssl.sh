#!/usr/bin/env bash
# Decoding a typical private link against openssl decrypting the same ciphertext: the link's
# blocks repeated COPIES times, decrypted by one `openssl enc -d -aes-128-ecb -nopad` process.
# Prints links/s and blocks/s of both and the ratio per block.
# usage: bench/link_decode_vs_openssl.sh [BUILD_DIR] [COPIES]   (default build, 2^17 copies)
set -euo pipefail
build=${1:-build}
copies_log2=17
[ -n "${2:-}" ] && copies_log2=$(python3 -c "import math; print(max(0, round(math.log2($2))))")
bench="$build/bin/bench_link_decode"
[ -x "$bench" ] || { echo "missing $bench (build target bench_link_decode)" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
link=$("$bench" --print-link)
hex=${link#*://}
printf '%s' "$hex" | xxd -r -p > "$work/cipher.bin"
for ((i = 0; i < copies_log2; ++i)); do
  cat "$work/cipher.bin" "$work/cipher.bin" > "$work/next.bin"
  mv "$work/next.bin" "$work/cipher.bin"
done
bytes=$(stat -c %s "$work/cipher.bin")
blocks=$((bytes / 16))
# Key "KQZTW20050917": the low byte of each character, zero-filled to 16 bytes.
key=4B515A54573230303530393137000000

best_ns=
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  openssl enc -d -aes-128-ecb -nopad -K "$key" -in "$work/cipher.bin" -out /dev/null
  ns=$(($(date +%s%N) - start))
  if [ -z "$best_ns" ] || ((ns < best_ns)); then best_ns=$ns; fi
done

"$bench" --benchmark_format=json --benchmark_min_time=1 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true > "$work/bench.json"

python3 - "$work/bench.json" "$best_ns" "$blocks" "${#hex}" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
best_ns, blocks, digits = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
median = {b["run_name"]: b for b in data["benchmarks"] if b.get("aggregate_name") == "median"}
decode = median["BM_DecodeTypicalLink"]
block = median["BM_DecryptBlock"]
per_link = digits / 32
links_s = decode["items_per_second"]
ours_blocks_s = links_s * per_link
openssl_blocks_s = blocks / (best_ns / 1e9)
print(f"link: {digits} hex digits = {per_link:g} blocks")
print(f"Decode typical link: {links_s:,.0f} links/s = {ours_blocks_s:,.0f} blocks/s "
      f"({1e9 / ours_blocks_s:.1f} ns/block)")
print(f"TAes::DecryptBlock alone: {block['items_per_second']:,.0f} blocks/s "
      f"({1e9 / block['items_per_second']:.1f} ns/block)")
print(f"openssl enc -d -aes-128-ecb -nopad, one process, {blocks:,} blocks in {best_ns / 1e6:.1f} ms: "
      f"{openssl_blocks_s:,.0f} blocks/s ({best_ns / blocks:.2f} ns/block, "
      f"= {openssl_blocks_s / per_link:,.0f} links/s)")
print(f"ratio openssl/Decode per block: {openssl_blocks_s / ours_blocks_s:.1f}x; "
      f"openssl/DecryptBlock: {openssl_blocks_s / block['items_per_second']:.1f}x")
PY
