#!/usr/bin/env bash
# Loopback throughput of `nivra-tool download` against curl, on the same servers in the same run:
# one random file served by a stock pyftpdlib (`python3 -m pyftpdlib`, default settings, so the
# session starts in ASCII type as on most servers) and by python's http.server on 127.0.0.1.
# The two clients take turns (ours, curl, ours, curl, ...) after one untimed warm-up each, and
# each timed run ends with `sync -d` on the downloaded file, so both sides pay for putting the
# data on disk (our HTTP download syncs before its rename; curl and our FTP download do not).
# Every download is checked against the served file. Prints one machine-readable line per
# protocol with the median, minimum and maximum seconds of each client and the ratio of the
# medians (ours / curl, time).
# usage: bench/net/download_throughput.sh [NIVRA_TOOL] [SIZE_MIB] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
tool=${1:-build/bin/nivra-tool}
size_mib=${2:-200}
runs=${3:-5}
work=$(mktemp -d /tmp/nivra-bench-net.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root"
head -c "$((size_mib * 1024 * 1024))" /dev/urandom > "$work/root/big.bin"
want=$(sha256sum < "$work/root/big.bin")

# Starts a server (the command after the first three arguments), finds the first line of its
# output ($2: stdout or stderr) that contains $1, and writes the port of the "127.0.0.1:PORT"
# in that line to the file $3.
start_server() {
  local fifo="$work/out.$RANDOM" fd line
  mkfifo "$fifo"
  if [ "$2" = stderr ]; then
    "${@:4}" 2> "$fifo" > /dev/null &
  else
    "${@:4}" > "$fifo" 2> /dev/null &
  fi
  pids+=($!)
  exec {fd}< "$fifo"
  while read -r -u "$fd" line; do
    if [[ $line == *"$1"* ]]; then
      echo "$line" | grep -oE '127\.0\.0\.1:[0-9]+' | head -n 1 | cut -d: -f2 > "$3"
      break
    fi
  done
  # keep the pipe drained so the server never blocks on its output
  cat <&"$fd" > /dev/null &
  pids+=($!)
  exec {fd}<&-
}

start_server "starting FTP server on" stderr "$work/ftp.port" /usr/bin/python3 -u -m pyftpdlib \
  -i 127.0.0.1 -p 0 -d "$work/root"
start_server "Serving HTTP on" stdout "$work/http.port" /usr/bin/python3 -u -m http.server 0 \
  --bind 127.0.0.1 --directory "$work/root"
ftp_port=$(cat "$work/ftp.port")
http_port=$(cat "$work/http.port")

# One download by "$@" into $work/got, synced to disk; prints its seconds. The file is removed
# and checked outside the timed part.
timed_run() {
  rm -f "$work/got"
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  sync -d "$work/got"
  end=$(date +%s.%N)
  [ "$(sha256sum < "$work/got")" = "$want" ] || { echo "corrupt download: $*" >&2; exit 1; }
  echo "$start $end" | awk '{printf "%.3f\n", $2 - $1}'
}

# "median min max" of the numbers on standard input.
summary() {
  sort -g | awk '{v[NR] = $1} END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f %.3f %.3f\n", m, v[1], v[NR] }'
}

for proto in ftp http; do
  port=$ftp_port
  [ "$proto" = http ] && port=$http_port
  url="$proto://127.0.0.1:$port/big.bin"
  ours=("$tool" download "$url" "$work/got")
  theirs=(curl -s -o "$work/got" "$url")
  timed_run "${ours[@]}" > /dev/null
  timed_run "${theirs[@]}" > /dev/null
  : > "$work/ours.s"
  : > "$work/theirs.s"
  for _ in $(seq "$runs"); do
    timed_run "${ours[@]}" >> "$work/ours.s"
    timed_run "${theirs[@]}" >> "$work/theirs.s"
  done
  read -r a_med a_min a_max < <(summary < "$work/ours.s")
  read -r b_med b_min b_max < <(summary < "$work/theirs.s")
  awk -v p="$proto" -v m="$size_mib" -v n="$runs" -v a="$a_med" -v amin="$a_min" -v amax="$a_max" \
    -v b="$b_med" -v bmin="$b_min" -v bmax="$b_max" 'BEGIN {
    printf "%s size_mib=%d runs=%d nivra_median_s=%.3f (min %.3f max %.3f) curl_median_s=%.3f " \
           "(min %.3f max %.3f) nivra_mib_s=%.1f curl_mib_s=%.1f time_ratio=%.2f\n",
           p, m, n, a, amin, amax, b, bmin, bmax, m / a, m / b, a / b }'
done
