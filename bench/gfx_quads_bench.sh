#!/usr/bin/env bash
# Quads benchmark: N small textured quads per frame at 800 x 600 for a fixed number of frames,
# drawn by the engine's GL device, by a minimal raw-GL program (one draw call per frame) and by
# LOVE, alternating the contenders round by round on one virtual display; then the engine on the
# null device for its own CPU cost per quad. Prints every run, the medians and the ratios.
#
#   bench/gfx_quads_bench.sh BUILD_DIR [QUADS] [FRAMES] [ROUNDS]
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)
quads=${2:-10000}
frames=${3:-30}
rounds=${4:-3}
here=$(cd "$(dirname "$0")" && pwd)
demo="$build/examples/gfx_quads_demo"
raw="$build/bench/gfx_rawgl_peer"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1024x768x24' "$here/$(basename "$0")" "$build" "$quads" \
        "$frames" "$rounds"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" # the engine writes its log here

rate() { sed -n 's/.*quads_per_s=\([0-9]*\).*/\1/p'; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: >engine.txt; : >rawgl.txt; : >love.txt; : >null.txt; : >nullnr.txt
for r in $(seq "$rounds"); do
    "$demo" --bench --quads "$quads" --frames "$frames" | tee /dev/stderr | rate >>engine.txt
    "$raw" --quads "$quads" --frames "$frames" | tee /dev/stderr | rate >>rawgl.txt
    if command -v love >/dev/null; then
        love "$here/love_quads" "$quads" "$frames" 2>/dev/null | tee /dev/stderr | rate >>love.txt
    fi
    SDL_VIDEODRIVER=dummy "$demo" --bench --quads "$quads" --frames 300 | tee /dev/stderr |
        sed -n 's/.*engine_ns_per_quad=\([0-9.]*\).*/\1/p' >>null.txt
    SDL_VIDEODRIVER=dummy "$demo" --bench --norotate --quads "$quads" --frames 300 |
        tee /dev/stderr | sed -n 's/.*engine_ns_per_quad=\([0-9.]*\).*/\1/p' >>nullnr.txt
done

e=$(median <engine.txt); g=$(median <rawgl.txt)
echo "median quads/s: engine GL $e, raw GL $g"
awk -v e="$e" -v g="$g" 'BEGIN {printf "engine / raw GL = %.2f (target >= 0.95)\n", e / g}'
if [ -s love.txt ]; then
    l=$(median <love.txt)
    echo "median quads/s: LOVE $l"
    awk -v e="$e" -v l="$l" 'BEGIN {printf "engine / LOVE = %.2f (target >= 1.1)\n", e / l}'
fi
echo "null device, engine CPU per quad (shape + submit): $(median <null.txt) ns with rotation," \
     "$(median <nullnr.txt) ns without (target <= 50 ns)"
