#!/usr/bin/env bash
# Loopback throughput of `nivra-tool download` against curl, on the same servers in the same run:
# one file served by pyftpdlib (binary mode, as our client sends no TYPE) and by python's
# http.server on 127.0.0.1. Each client fetches the file RUNS times per protocol; the best run
# counts. Prints one machine-readable line per protocol.
# usage: bench/net/download_throughput.sh [NIVRA_TOOL] [SIZE_MIB] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
tool=${1:-build/bin/nivra-tool}
size_mib=${2:-200}
runs=${3:-3}
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root"
head -c "$((size_mib * 1024 * 1024))" /dev/urandom > "$work/root/big.bin"
want=$(sha256sum < "$work/root/big.bin")

# Starts a server (the command after the first three arguments) and writes the port, field $2
# of its first output line that begins with $1, to the file $3.
start_server() {
  local fifo="$work/out.$RANDOM" fd line
  mkfifo "$fifo"
  "${@:4}" > "$fifo" 2>/dev/null &
  pids+=($!)
  exec {fd}< "$fifo"
  while read -r -u "$fd" line; do
    if [[ $line == $1* ]]; then
      echo "$line" | awk -v f="$2" '{print $f}' > "$3"
      break
    fi
  done
  # keep the pipe drained so the server never blocks on its output
  cat <&"$fd" > /dev/null &
  pids+=($!)
  exec {fd}<&-
}

start_server READY 2 "$work/ftp.port" /usr/bin/python3 -u tests/net/scripts/ftp_server.py \
  --root "$work/root"
start_server "Serving HTTP" 6 "$work/http.port" /usr/bin/python3 -u -m http.server 0 \
  --bind 127.0.0.1 --directory "$work/root"
ftp_port=$(cat "$work/ftp.port")
http_port=$(cat "$work/http.port")

# Seconds of the best of $runs runs of the command (the output file is $work/got).
best_seconds() {
  local best=""
  for _ in $(seq "$runs"); do
    rm -f "$work/got"
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    [ "$(sha256sum < "$work/got")" = "$want" ] || { echo "corrupt download: $*" >&2; exit 1; }
    best=$(echo "$start $end $best" | awk '{d = $2 - $1; if ($3 == "" || d < $3) print d; else print $3}')
  done
  echo "$best"
}

for proto in ftp http; do
  port=$ftp_port
  [ "$proto" = http ] && port=$http_port
  url="$proto://127.0.0.1:$port/big.bin"
  ours=$(best_seconds "$tool" download "$url" "$work/got")
  theirs=$(best_seconds curl -s -o "$work/got" "$url")
  awk -v p="$proto" -v m="$size_mib" -v a="$ours" -v b="$theirs" 'BEGIN {
    printf "%s size_mib=%d nivra_s=%.3f curl_s=%.3f nivra_mib_s=%.1f curl_mib_s=%.1f ratio=%.2f\n",
           p, m, a, b, m / a, m / b, (m / a) / (m / b) }'
done
