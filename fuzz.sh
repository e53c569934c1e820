#!/bin/bash
# ./fuzz.sh [seconds-per-target] [target...]
#
# Builds every fuzz harness (fuzz/fuzz_<target>.cpp) with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz/, and runs
# each target for the given time (default 60 s) over a working corpus in
# build-fuzz/corpus/<target>/, seeded from the committed corpus, the
# regression inputs and the files the harness names on its "// Seeds:" line.
# A target stops at its first crash; the input lands in
# build-fuzz/artifacts/<target>/; copy it to fuzz/regressions/<target>/ once
# it is fixed.
#
# KVR_FUZZ_JOBS=2 runs two targets at a time; KVR_FUZZ_MINIMIZE=1 writes the
# minimized working corpus back to fuzz/corpus/<target>/ afterwards.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kvr_install_missing

seconds=${1:-60}
shift || true
jobs=${KVR_FUZZ_JOBS:-1}
build=build-fuzz

if [ $# -gt 0 ]; then
    targets="$*"
else
    targets=$(ls fuzz/fuzz_*.cpp | sed 's|fuzz/fuzz_||; s|\.cpp$||')
fi

cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DKVR_FUZZ=ON -DKVR_BUILD_TESTS=OFF -DKVR_BUILD_BENCH=OFF >/dev/null
cmake --build $build -j2 --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

run_target() {
    local t=$1 seconds=$2 build=$3
    local corpus=$build/corpus/$t artifacts=$build/artifacts/$t
    mkdir -p "$corpus" "$artifacts" $build/logs
    cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
    cp -n fuzz/regressions/"$t"/* "$corpus"/ 2>/dev/null || true
    local seeds
    seeds=$(sed -n 's|^// Seeds: ||p' fuzz/fuzz_"$t".cpp)
    for f in $seeds; do
        [ -f "$f" ] && cp -n "$f" "$corpus/seed-$(echo "$f" | tr '/' '_')"
    done
    local dict=()
    [ -f fuzz/dict/"$t".dict ] && dict=(-dict=fuzz/dict/"$t".dict)
    # A run stops at its first crash, leak or hang and leaves the input in
    # the artifacts (forking to go on past it costs most of the speed). The
    # generous time-out keeps a busy machine's stalls from counting as hangs.
    nice -n 19 $build/fuzz/fuzz_"$t" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=60 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        >$build/logs/"$t".log 2>&1 || true
}
export -f run_target
printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c "run_target {} $seconds $build"

if [ "${KVR_FUZZ_MINIMIZE:-0}" = 1 ]; then
    for t in $targets; do
        rm -rf $build/minimized/"$t" && mkdir -p $build/minimized/"$t"
        $build/fuzz/fuzz_"$t" -merge=1 $build/minimized/"$t" $build/corpus/"$t" >/dev/null 2>&1
        rm -f fuzz/corpus/"$t"/* && mkdir -p fuzz/corpus/"$t"
        cp $build/minimized/"$t"/* fuzz/corpus/"$t"/
    done
fi

status=0
printf '%-12s %14s %8s %8s %8s\n' target executions cov features crashes
for t in $targets; do
    log=$build/logs/$t.log
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    [ -n "$runs" ] || runs=$(echo "$last" | sed -n 's/^#\([0-9]*\).*/\1/p')
    cov=$(echo "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    crashes=$(ls $build/artifacts/"$t" 2>/dev/null | wc -l)
    printf '%-12s %14s %8s %8s %8s\n' "$t" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$crashes"
    [ "$crashes" -eq 0 ] || status=1
done
exit $status
