#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each one for a bounded time from its
# committed seed corpus; any finding fails. FUZZ_SECONDS sets the time per target (default 50).
# Findings are written to build/fuzz/findings/; commit one to fuzz/corpus/<target>/ once fixed.
set -euo pipefail
cd "$(dirname "$0")/../.."
bash tools/deps.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
seconds=${FUZZ_SECONDS:-50}
work=build/fuzz/run
findings=build/fuzz/findings
mkdir -p "$findings" "$work"
# Runs one target; its verdict goes to $work/<target>.verdict, its log beside it.
fuzz_one() {
  local binary=$1 target
  target=$(basename "$binary" _fuzz)
  rm -rf "$work/$target" && mkdir -p "$work/$target"
  # The committed corpus is read only; new inputs go to the work folder.
  local seeds=fuzz/corpus/$target
  [ -d "$seeds" ] || seeds=
  local log=$work/$target.log
  # Illustration files are longer than fuzzed models and have a dictionary of their keys.
  local options=(-max_len=1024)
  if [ "$target" = illustration_reader ]; then options=(-max_len=4096 -dict=fuzz/illustration_reader.dict); fi
  if "$binary" -max_total_time="$seconds" "${options[@]}" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work/$target" $seeds >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: ${runs:-?} executions in ${seconds} s, no finding" >"$work/$target.verdict"
  else
    { echo "fuzz $target: FINDING"
      grep -E "ERROR|SUMMARY|#[0-9]+ in |Test unit written" "$log" | head -40; } >"$work/$target.verdict"
  fi
}

# One target per core at a time: each still gets its whole time.
binaries=(build/fuzz/fuzz/*_fuzz)
for binary in "${binaries[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  rm -f "$work/$(basename "$binary" _fuzz).verdict"
  fuzz_one "$binary" &
done
wait
status=0
for binary in "${binaries[@]}"; do
  verdict=$work/$(basename "$binary" _fuzz).verdict
  if [ -f "$verdict" ]; then cat "$verdict"; else echo "fuzz $(basename "$binary"): did not finish"; fi
  grep -qs "no finding" "$verdict" || status=1
done
exit $status
