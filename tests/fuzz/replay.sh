#!/usr/bin/env bash
# Runs one fuzz target once on each committed input of its folders (the seed corpus and the inputs
# fuzzing has found: crashes, timeouts, leaks, out-of-memory), without mutation and without a time
# budget: what CI checks, so that it passes or fails on the code alone.
# Usage: replay.sh FUZZER FOLDER...
set -euo pipefail
fuzzer=$1; shift
inputs=()
for folder in "$@"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' f; do inputs+=("$f"); done < <(find "$folder" -type f -print0 | sort -z)
done
[ ${#inputs[@]} -gt 0 ] || { echo "$(basename "$fuzzer"): no inputs in $*"; exit 1; }
# Findings of a replay are the committed inputs themselves: write no copies of them.
artifacts=$(mktemp -d)
trap 'rm -rf "$artifacts"' EXIT
# A generous time per input: the replay judges faults, not speed.
"$fuzzer" -timeout=300 -rss_limit_mb=2048 -artifact_prefix="$artifacts/" "${inputs[@]}"
