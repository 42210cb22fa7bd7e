#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, in build-fuzz with clang and the
# sanitizers) and runs each for SECONDS (default 60): first over its seed
# corpus in fuzz/corpus/<target>/, then on new inputs. Prints, per target,
# the executions, executions per second, coverage (cov: edges, ft: features)
# and what was found; exits 1 when anything was found.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 600 pattern
#
# Environment: FUZZ_BUILD (build folder, default build-fuzz), FUZZ_WORK
# (where the grown corpora, logs and findings go, default FUZZ_BUILD/fuzz-work;
# a grown corpus is reused by the next run), FUZZ_JOBS (build jobs),
# FUZZ_NO_BUILD=1 (run the targets as they are built).
# A finding is kept as FUZZ_WORK/<target>/findings/crash-... (or leak-,
# timeout-, oom-); `build-fuzz/bin/fuzz_<target> FILE` replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=${FUZZ_BUILD:-build-fuzz}
work=${FUZZ_WORK:-$build/fuzz-work}
all_targets=(pattern http_reception chunked url_request charset case_mapping preset_files reader_text)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all_targets[@]}"); fi

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVB_FUZZ=ON -DVB_WERROR=ON \
          -DVB_BUILD_GUI=OFF -DVB_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
  fi
  cmake --build "$build" -j "${FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

found=0
failed=0
rows=()
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/$target
  grown=$work/$target/corpus
  findings=$work/$target/findings
  log=$work/$target/last-run.log
  mkdir -p "$grown" "$findings"
  dict=()
  if [ -f "fuzz/dict/$target.dict" ]; then dict=(-dict="fuzz/dict/$target.dict"); fi
  before=$(find "$findings" -type f | wc -l)
  echo "== fuzz_$target for ${seconds}s (log: $log)"
  status=0
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
      "$grown" "$seeds" >"$log" 2>&1 || status=$?
  after=$(find "$findings" -type f | wc -l)
  new=$((after - before))
  # The last status line: "#N <event> cov: C ft: F corp: ... exec/s: E ...".
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  execs=$(grep -oE 'number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$' ||
          sed -nE 's/^#([0-9]+).*/\1/p' <<<"$last")
  rate=$(grep -oE 'average_exec_per_sec: [0-9]+' "$log" | grep -oE '[0-9]+$' ||
         sed -nE 's/.*exec\/s: ([0-9]+).*/\1/p' <<<"$last")
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$last")
  corp=$(sed -nE 's/.*corp: ([0-9]+).*/\1/p' <<<"$last")
  if [ "$status" -ne 0 ] || [ "$new" -gt 0 ]; then
    found=1
    failed=$((failed + 1))
    what=$(grep -m1 -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|property broken' \
           "$log" | cut -c1-100 || true)
    result="FOUND ($new file(s) in $findings): ${what:-exit status $status}"
  else
    result="nothing found"
  fi
  rows+=("$(printf '%-15s %12s %8s %6s %7s %6s  %s' "$target" "${execs:-?}" "${rate:-?}" \
            "${cov:-?}" "${ft:-?}" "${corp:-?}" "$result")")
done

echo
printf '%-15s %12s %8s %6s %7s %6s  %s\n' target executions exec/s cov ft corpus findings
printf '%s\n' "${rows[@]}"
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
exit "$found"
