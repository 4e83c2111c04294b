#!/bin/sh
# Runs one fuzz harness for a few seconds over a scratch copy of its seed
# corpus, so the committed seeds are never changed by a run.
# Usage: runBriefly.sh <harness> <seed folder> <scratch folder> [seconds]
set -e
harness="$1"
seeds="$2"
scratch="$3"
seconds="${4:-5}"

rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/crashes"
cp "$seeds"/* "$scratch/corpus/"

SDL_VIDEODRIVER=dummy
SDL_AUDIODRIVER=dummy
export SDL_VIDEODRIVER SDL_AUDIODRIVER

# The engine's progress lines (standard output and error) are dropped
# (-close_fd_mask=3); the fuzzer's lines and any sanitizer report remain.
# A crash leaves its input in $scratch/crashes and fails the test. Inputs
# take milliseconds; one that runs a minute is reported as a hang (the
# limit is wide because a busy machine can stall a process for seconds).
exec "$harness" \
    -max_total_time="$seconds" \
    -runs=2000000 \
    -timeout=60 \
    -rss_limit_mb=2048 \
    -max_len=8192 \
    -close_fd_mask=3 \
    -print_final_stats=1 \
    -artifact_prefix="$scratch/crashes/" \
    "$scratch/corpus"
