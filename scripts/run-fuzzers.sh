#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a number of seconds each, starting from its
# seed corpus (linked beside it by the build as <fuzzer>.corpus). Any crash, leak or timeout
# fails the run.
set -euo pipefail
build=${1:?usage: run-fuzzers.sh BUILD_DIR SECONDS}
seconds=${2:-60}
status=0
while IFS= read -r fuzzer; do
  fuzzer=$(realpath "$fuzzer")
  name=$(basename "$fuzzer")
  seeds="$fuzzer.corpus"
  work=$(mktemp -d)
  [[ -d "$seeds" ]] && cp -r "$seeds/." "$work/"
  echo "fuzz: $name for ${seconds}s"
  if ! (cd "$work" && "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/" "$work" 2>&1 | tail -n 12); then
    echo "fuzz: $name FAILED; artifacts in $work" >&2
    status=1
  fi
done < <(find "$build" -type f -name '*_fuzzer' -perm -u+x | sort)
exit $status
