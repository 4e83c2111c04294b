#!/bin/sh
# Draws how the cost grows, from fightscene-bench's JSON output, as PNG
# plots with gnuplot: particles.png, moves.png, frames.png and display.png.
# Usage: bench/plot.sh <folder> [output folder, default docs/bench]
# The folder holds bench.json (a run on the dummy driver,
# --benchmark_format=json) and, for the display plot, the display-*.json
# files of bench/display.sh. With repetitions the median is drawn.
set -e
IN="$1"
OUT="${2:-$(dirname "$0")/../docs/bench}"
[ -f "$IN/bench.json" ] || { echo "usage: $0 <folder holding bench.json> [output folder]" >&2; exit 2; }
command -v gnuplot >/dev/null || { echo "plot.sh: gnuplot is not installed (scripts/install-deps.sh)" >&2; exit 1; }
mkdir -p "$OUT"
DATA="$(mktemp -d)"
trap 'rm -rf "$DATA"' EXIT

# One line per benchmark: run name, CPU and wall time in microseconds, and
# the "frames" and "searched" counters (0 when absent). A median aggregate
# wins over the iteration runs of the same name.
figures() {
    awk '
    function unquote(s) { sub(/^[^:]*: *"?/, "", s); sub(/"?,?$/, "", s); return s }
    /"run_name":/ { name = unquote($0); sub(/\/(manual|real)_time$/, "", name); kind = ""; aggregate = ""; frames = 0; searched = 0 }
    /"run_type":/ { kind = unquote($0) }
    /"aggregate_name":/ { aggregate = unquote($0) }
    /"real_time":/ { real = unquote($0) + 0 }
    /"cpu_time":/ { cpu = unquote($0) + 0 }
    /"time_unit":/ {
        unit = unquote($0)
        scale = unit == "ns" ? 0.001 : unit == "ms" ? 1000 : unit == "s" ? 1e6 : 1
        pending = 1
    }
    /"frames":/ { frames = unquote($0) + 0 }
    /"searched":/ { searched = unquote($0) + 0 }
    /^ *}/ && pending {
        pending = 0
        if (kind == "aggregate" && aggregate != "median") next
        if (kind == "iteration" && (name in median)) next
        if (kind == "aggregate") median[name] = 1
        line[name] = name " " cpu * scale " " real * scale " " frames " " searched
        if (!(name in seen)) { seen[name] = 1; order[++n] = name }
    }
    END { for (i = 1; i <= n; i++) print line[order[i]] }' "$1"
}

figures "$IN/bench.json" >"$DATA/all"
# size, then the figures of the two benchmarks compared at that size
pair() {
    for size in $3; do
        a=$(awk -v n="$1/$size" '$1 == n' "$DATA/all")
        b=$(awk -v n="$2/$size" '$1 == n' "$DATA/all")
        [ -n "$a" ] && [ -n "$b" ] && echo "$size $a $b"
    done
}
pair Scale/Pass Scale/BytesLimit "1 10 100 1000" >"$DATA/particles"
pair Scale/MovesSearch Scale/MovesSearchSilent "8 64 512" >"$DATA/moves"
pair Scale/LoadFrames Scale/DecodeConvertMirror "1 4 16" >"$DATA/frames"

# The real displays: the pass, the flip alone and the pass showing only
# what changed, by the wall clock (the X server's work is not in the CPU time).
: >"$DATA/display"
for file in "$IN"/display-*.json; do
    [ -f "$file" ] || continue
    label=$(basename "$file" .json | sed 's/^display-//')
    figures "$file" >"$DATA/one"
    pass=$(awk '$1 == "Scene/Pass" { print $3 }' "$DATA/one")
    flip=$(awk '$1 == "Display/FlipOnly" { print $3 }' "$DATA/one")
    changed=$(awk '$1 == "Display/ChangedRectsPass" { print $3 }' "$DATA/one")
    [ -n "$pass" ] && [ -n "$flip" ] && [ -n "$changed" ] && echo "$label $pass $flip $changed" >>"$DATA/display"
done

# lines NAME TITLE X-LABEL Y-LABEL USING TITLE USING TITLE: the gnuplot
# commands that draw two curves of $DATA/NAME, as lines with points, to NAME.png.
lines() {
    cat <<GNUPLOT
set output "$OUT/$1.png"
set title "$2"
set xlabel "$3"
set ylabel "$4"
plot "$DATA/$1" using $5 with linespoints title "$6", \
     "" using $7 with linespoints title "$8"

GNUPLOT
}

{
cat <<GNUPLOT
set terminal pngcairo size 720,480 font ",10" noenhanced
set grid
set key top left
set logscale xy

GNUPLOT
lines particles "Scene pass against the bytes-moved limit (CPU time, dummy driver)" \
    "live particles" "microseconds per pass" \
    1:3 "pass (restore, save, draw, game logic)" 1:8 "bytes-moved limit (plain row copies)"
lines moves "Command search with a button, standard output to a file (thread CPU time)" \
    "moves in the set (searched: 5, 33, 257)" "microseconds per search" \
    1:4 "inputChecker::update" 1:9 "the same search without its diagnostic lines"
lines frames "Start-up loading against decoding, one conversion and the mirror image (CPU time)" \
    "frames loaded" "milliseconds" \
    '5:($3/1000)' "frame sets loaded (initR)" '5:($8/1000)' "floor: decode, convert, mirror"
cat <<GNUPLOT
unset logscale
set output "$OUT/display.png"
set title "One pass of 3 particles under Xvfb (wall clock)"
set xlabel ""
set ylabel "microseconds"
set logscale y
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.8 border -1
set key top left
plot "$DATA/display" using 2:xtic(1) title "pass (full flip)", \
     "" using 3 title "SDL_Flip alone", \
     "" using 4 title "pass showing only the changed rectangles"
GNUPLOT
} | gnuplot
echo "plot.sh: wrote $OUT/particles.png moves.png frames.png display.png"
