#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz, clang) and runs each for SECONDS (60 by default),
# seeded from the test data. Fails on the first finding; the input that found it is left in
# build/fuzz/findings/.
# Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(fuzz_handle_parse fuzz_xpath_query fuzz_stylesheet fuzz_dynamic_evaluation
        fuzz_parameter_expression)

# libFuzzer comes with clang's runtime libraries.
bash scripts/bootstrap.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]}"

# The engine's known leaks are not findings.
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp"
work=build/fuzz/work
mkdir -p "$work" build/fuzz/findings
seed() # target: fills the target's seed folder from tests/data and the examples
{
    local folder="$work/seeds-$1"
    rm -rf "$folder" && mkdir -p "$folder"
    case "$1" in
    fuzz_handle_parse)
        find tests/data examples -name '*.xml' -o -name '*.xsl' | xargs -I{} cp {} "$folder"/ ;;
    fuzz_stylesheet)
        find tests/data examples -name '*.xsl' | xargs -I{} cp {} "$folder"/ ;;
    fuzz_xpath_query | fuzz_dynamic_evaluation | fuzz_parameter_expression)
        find tests/data examples -name '*.xsl' -exec grep -ohE '(select|test|match)="[^"]+"' {} + |
            sed -E 's/^[a-z]+="(.*)"$/\1/' | sort -u |
            awk -v folder="$folder" '{ print > (folder "/" NR ".txt") }' ;;
    esac
    echo "$folder"
}

for target in "${targets[@]}"; do
    dict=fuzz/xml.dict
    case "$target" in
    fuzz_xpath_query | fuzz_dynamic_evaluation | fuzz_parameter_expression) dict=fuzz/xpath.dict ;;
    esac
    corpus="$work/corpus-$target"
    mkdir -p "$corpus"
    log="$work/$target.log"
    echo "== $target for ${seconds}s"
    if ! "build/fuzz/fuzz/$target" "$corpus" "$(seed "$target")" -dict="$dict" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target found a failure; the input is in build/fuzz/findings"
        exit 1
    fi
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
done
echo "fuzzing found nothing"
