#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz-build/ (clang; the whole tree with AddressSanitizer,
# UndefinedBehaviorSanitizer and coverage) and runs every target, one after the other, for
# SECONDS each on a working copy of its committed corpus and regression inputs.
#
#   ./fuzz.sh SECONDS [TARGET...]      TARGET: workbook biff inputfile numbertext xlsx ods airfiles
#                                    (default all)
#
# New interesting inputs stay in fuzz-build/work/TARGET/corpus; findings (crash-*, leak-*,
# timeout-*, oom-*) go to fuzz-build/work/TARGET/findings and make the script exit with 1.
# A finding, once fixed, belongs in fuzz/regressions/TARGET/, where tests/fuzz/tst_fuzzreplay
# replays it in every normal build. To fold new inputs into the committed corpus, minimise:
#   fuzz-build/fuzz/fuzz_T -merge=1 NEWDIR fuzz/corpus/T fuzz-build/work/T/corpus
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

usage() {
    echo "usage: ./fuzz.sh SECONDS [workbook|biff|inputfile|numbertext|xlsx|ods|airfiles]..." >&2
    exit 2
}
[ $# -ge 1 ] || usage
seconds=$1
shift
[[ $seconds =~ ^[1-9][0-9]*$ ]] || usage
all=(workbook biff inputfile numbertext xlsx ods airfiles)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for t in "${targets[@]}"; do
    [[ " ${all[*]} " == *" $t "* ]] || usage
done

tools/install-deps.sh
tools/install-deps.sh --fuzz

build=$root/fuzz-build
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
flags+=" -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUFTVAKA_FUZZ=ON -DLUFTVAKA_GUI=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j"$(nproc)" --target luftvaka-fuzzers

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

summary=()
found=0
for t in "${targets[@]}"; do
    work=$build/work/$t
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/findings"
    cp -r fuzz/corpus/"$t"/. "$work/corpus/"
    if [ -d fuzz/regressions/"$t" ]; then
        find fuzz/regressions/"$t" -type f ! -name README.md -exec cp {} "$work/corpus/" \;
    fi
    options=(-max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$work/findings/")
    [ -f fuzz/"$t".dict ] && options+=(-dict="$root/fuzz/$t.dict")

    echo "== fuzz_$t: $seconds s (log: $work/log)"
    start=$(date +%s)
    status=0
    "$build/fuzz/fuzz_$t" "${options[@]}" "$work/corpus" >"$work/log" 2>&1 || status=$?
    elapsed=$(($(date +%s) - start))

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -n1)
    count() { find "$work/findings" -name "$1-*" | wc -l; }
    crashes=$(count crash)
    leaks=$(count leak)
    timeouts=$(count timeout)
    ooms=$(count oom)
    if [ "$status" -ne 0 ] && [ $((crashes + leaks + timeouts + ooms)) -eq 0 ]; then
        crashes=1 # it stopped without leaving its input: see the log
    fi
    line=$(printf '%-10s %12s executions in %5d s (%s exec/s): %d crashes, %d leaks, %d timeouts, %d out of memory' \
        "$t" "${runs:-?}" "$elapsed" "${rate:-?}" "$crashes" "$leaks" "$timeouts" "$ooms")
    summary+=("$line")
    echo "$line"
    [ $((crashes + leaks + timeouts + ooms)) -eq 0 ] || found=1
done

echo "== summary"
printf '%s\n' "${summary[@]}" | tee "$build/work/summary.txt"
exit $found
