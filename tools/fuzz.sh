#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset "fuzz": clang, ASan/UBSan) and runs each one: first over
# its committed corpus (fuzz/corpus/NAME, the regression inputs), then for SECONDS of fuzzing
# from that corpus and seeds made from the generated fixtures, each input at most as long as
# fuzz/max_len says. Prints executions per second and in all per harness;
# exits 1 when any harness failed, with the inputs in build/fuzz/artifacts.
#   bash tools/fuzz.sh [SECONDS]      (default 60; 0: the regression inputs only)
#   FUZZ_ONLY="fuzz_pe_image fuzz_ini_document" bash tools/fuzz.sh 300
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build/fuzz

bash tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Seeds from whichever build already holds the sample installation and the fixture content;
# otherwise they are generated here (they need MinGW-w64, which CI has).
seeds="$build/seeds"
if [ "$seconds" -gt 0 ] && [ ! -d "$seeds" ]; then
    sources=()
    for dir in build/debug build/asan "$build"; do
        [ -d "$dir/sample/prefix" ] && [ -d "$dir/tools/fixture-server/content" ] &&
            sources=("$dir/sample" "$dir/tools/fixture-server/content") && break
    done
    if [ ${#sources[@]} -eq 0 ] && cmake --build "$build" --target quillon_fixture_content quillon_sample_install; then
        sources=("$build/sample" "$build/tools/fixture-server/content")
    fi
    python3 fuzz/make-seeds.py "$seeds" "${sources[@]}" resources tools/languages tools/databases
fi

mkdir -p "$build/artifacts"
options=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1
         "-artifact_prefix=$PWD/$build/artifacts/")
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
failed=()
summary=()
for harness in ${FUZZ_ONLY:-$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | grep -v '^fuzz_support$')}; do
    binary="$build/fuzz/$harness"
    corpus="fuzz/corpus/${harness#fuzz_}"
    log="$build/artifacts/$harness.log"
    mkdir -p "$corpus"
    if ! nice -n 10 "$binary" "${options[@]}" -runs=0 "$corpus" >"$log" 2>&1; then
        echo "$harness: a regression input fails:" >&2
        tail -n 30 "$log" >&2
        failed+=("$harness")
        continue
    fi
    [ "$seconds" -gt 0 ] || { summary+=("$harness: regression inputs pass"); continue; }
    work="$build/corpus/$harness"
    mkdir -p "$work"
    inputs=("$work" "$corpus")
    [ -d "$seeds/$harness" ] && inputs+=("$seeds/$harness")
    dict="fuzz/dict/${harness#fuzz_}.dict"
    [ -f "$dict" ] && inputs=("-dict=$dict" "${inputs[@]}")
    max_len=$(awk -v name="${harness#fuzz_}" '$1 == name { print $2 }' fuzz/max_len)
    [ -n "$max_len" ] && inputs=("-max_len=$max_len" "${inputs[@]}")
    if ! nice -n 10 "$binary" "${options[@]}" -max_total_time="$seconds" "${inputs[@]}" >"$log" 2>&1; then
        echo "$harness: failed while fuzzing:" >&2
        tail -n 40 "$log" >&2
        failed+=("$harness")
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    # Below these a harness explores little in a CI run; extraction writes files, so it may be slower.
    floor=1000
    [ "$harness" = fuzz_archive_extract ] && floor=200
    note=""
    [ -n "$rate" ] && [ "$rate" -lt "$floor" ] && note=" (below $floor/s)"
    summary+=("$harness: ${rate:-?} exec/s${note}, ${runs:-?} executions in ${seconds} s, corpus $(ls "$work" | wc -l) inputs")
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "failed: ${failed[*]} (inputs in $build/artifacts)" >&2
    exit 1
fi
