#!/usr/bin/env bash
# Runs every fuzz target for a bounded time over its seed corpus and its saved crashers.
# FUZZ_SEED fixes the mutation sequence (the default, so a test run is reproducible);
# FUZZ_SEED=0 lets each run explore from a fresh random seed.
set -euo pipefail
dir=${1:-build-fuzz/fuzz}
seconds=${2:-20}
seed=${FUZZ_SEED:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for target in "$dir"/*_fuzz; do
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/$name"
  work=$(mktemp -d)
  corpora=("$work")
  [ -d "$seeds" ] && corpora+=("$seeds")
  echo "== fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
    -seed="$seed" -artifact_prefix="$work/" "${corpora[@]}" 2>"$work/log" || { tail -40 "$work/log"; exit 1; }
  grep -E '^#[0-9]+.*DONE' "$work/log" | tail -1 || true
  rm -rf "$work"
done
