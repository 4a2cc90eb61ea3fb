#!/usr/bin/env bash
# Runs one fuzz target: first its regression inputs (each a crash found earlier, replayed once),
# then either a bounded, seeded run from the committed corpus (mode "bounded", for make test) or a
# long run that keeps its corpus in the build tree (mode "long", for make fuzz).
#   run_fuzzer.sh FUZZER NAME SOURCE_DIR BUILD_DIR bounded|long [SECONDS]
set -euo pipefail

fuzzer=$1 name=$2 source_dir=$3 build_dir=$4 mode=$5 seconds=${6:-600}
corpus=$source_dir/corpus/$name
regressions=$source_dir/regressions/$name
work=$build_dir/work/$name          # the long runs' corpus, kept from run to run
scratch=$build_dir/scratch/$name    # what a bounded run finds, thrown away
artifacts=$build_dir/artifacts
runs=${KOV_FUZZ_RUNS:-20000}

options=(-max_len=8192 -artifact_prefix="$artifacts/$name-" -print_final_stats=1)
[ -f "$source_dir/$name.dict" ] && options+=(-dict="$source_dir/$name.dict")
mkdir -p "$artifacts"

shopt -s nullglob
replays=("$regressions"/*)
if [ ${#replays[@]} -gt 0 ]; then
  echo "== $name: replaying ${#replays[@]} regression input(s)"
  "$fuzzer" "${replays[@]}"
fi

case $mode in
  bounded)
    # New inputs go to a scratch directory: the committed corpus is only read.
    rm -rf "$scratch" && mkdir -p "$scratch"
    echo "== $name: $runs runs from $corpus"
    "$fuzzer" "${options[@]}" -seed=1 -runs="$runs" "$scratch" "$corpus"
    ;;
  long)
    mkdir -p "$work"
    echo "== $name: fuzzing for $seconds s (corpus kept in $work)"
    "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$work" "$corpus"
    echo "== $name: to grow the committed corpus: $fuzzer -merge=1 -use_counters=0 $corpus $work"
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
