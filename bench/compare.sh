#!/usr/bin/env bash
# Runs one figure of two builds of the benchmark in alternation, so that a busy
# machine weighs on both alike; one line per run, with the load beside it.
#   bench/compare.sh BUILD_A BUILD_B [ROUNDS] [FIGURE]
# e.g. bench/compare.sh ../other/build build 4 1
set -u
if [ $# -lt 2 ]; then
    sed -n '2,5p' "$0"
    exit 2
fi
a=$1
b=$2
rounds=${3:-4}
figure=${4:-1}
export QT_QPA_PLATFORM=offscreen
for round in $(seq 1 "$rounds"); do
    for build in "$a" "$b"; do
        load=$(cut -d' ' -f1 /proc/loadavg)
        out=$("$build/bin/korvel-bench" "$figure")
        field() { sed -n "s|$1|\\1|p" <<<"$out" | head -1; }
        printf '%d %s  load %s  beyond the wire %s us  turn %s us  program %s us  simulator %s us  event loop after %s us  ratio %s\n' \
            "$round" "$build" "$load" \
            "$(field '.*beyond the wire: \([0-9]*\) us.*')" \
            "$(field '^ *\([0-9]*\) us (median), .*quartiles.*')" \
            "$(field ".*program's thread \([0-9]*\) us.*")" \
            "$(field '^ *thread \([0-9]*\) us, other.*')" \
            "$(field ".*event loop's turn: \([0-9]*\) us.*")" \
            "$(field '.*ratio *[0-9.]* (min) / \([0-9.]*\) (median).*')"
    done
done
