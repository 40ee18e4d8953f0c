#!/usr/bin/env bash
# Frames per second of our effects (headless, untimed, 1920 x 1080, 32 bits) side by side
# with FFmpeg's xfade filter rendering the same number of frames single-threaded, in the
# same run. FFmpeg's figure is net of its own input and output cost (the same pipeline
# without the xfade filter, timed separately).
# Usage: bench/compare_ffmpeg.sh [BUILD_DIR [EFFECT:XFADE ...]]   (a Release build with pictavo-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
shift || true
pairs=("$@")
if ((${#pairs[@]} == 0)); then
    pairs=(SlowAlpha:fade WipeDown:wipedown WipeLeft:wipeleft DripDown:wipedown
           FastCircle:circleopen Clockwise:radial Puzzle:dissolve Blocks:dissolve)
fi
cli=$build/src/cli/pictavo-cli
command -v ffmpeg >/dev/null || { echo "ffmpeg is needed: apt-get install -y ffmpeg"; exit 1; }
[ -x "$cli" ] || { echo "build $cli first"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 1920x1080 plasma:fractal -seed 7 -blur 0x2 "$work/a.png"
convert -size 1920x1080 gradient:'#203a43-#2c5364' -fill '#f4d35e' -draw 'circle 960,540 960,200' "$work/b.png"
convert "$work/a.png" -type truecolor BMP3:"$work/a.bmp"
convert "$work/b.png" -type truecolor BMP3:"$work/b.bmp"
# Raw BGRA frames, so FFmpeg's input costs one read per frame rather than a PNG decode.
for n in a b; do
    ffmpeg -v error -y -i "$work/$n.png" -f rawvideo -pix_fmt bgra "$work/$n.raw" </dev/null
done

now_ms() { date +%s%N | awk '{printf "%.1f", $1/1e6}'; }

# ffmpeg_ms TRANSITION FRAMES: wall time of rendering FRAMES frames of an xfade transition.
ffmpeg_ms() {
    local transition=$1 frames=$2 filter
    # The transition lasts `frames` frames at 25 per second; frames beyond it are not asked for.
    local duration
    duration=$(awk -v f="$frames" 'BEGIN{printf "%.4f", f/25}')
    if [ "$transition" = none ]; then
        filter="[1]nullsink;[0]null"
    else
        filter="[0][1]xfade=transition=$transition:duration=$duration:offset=0"
    fi
    local input=(-f rawvideo -pix_fmt bgra -s 1920x1080 -framerate 25 -stream_loop -1)
    local t0 t1
    t0=$(now_ms)
    ffmpeg -v error -threads 1 -filter_threads 1 -filter_complex_threads 1 \
        "${input[@]}" -i "$work/a.raw" "${input[@]}" -i "$work/b.raw" \
        -filter_complex "$filter" -frames:v "$frames" -f null - </dev/null
    t1=$(now_ms)
    awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", b-a}'
}

printf '%-12s %-10s %7s %10s %10s %12s %8s\n' effect xfade frames "our fps" "ff fps" "ff net fps" ratio
compare() {
    local effect=$1 transition=$2
    local out frames ms
    out=$("$cli" render "$effect" "$work/a.bmp" "$work/b.bmp" --size 1920x1080 --ms 0)
    frames=$(awk '/^frames:/{print $2}' <<<"$out")
    ms=$(awk '/^elapsed ms:/{print $3}' <<<"$out")
    # xfade computes every pixel of every frame, so its cost per frame does not depend on
    # the transition's progress: time at most 300 frames of it to keep the run short.
    local ff base ffFrames=$((frames < 300 ? frames : 300))
    ff=$(ffmpeg_ms "$transition" "$ffFrames")
    base=$(ffmpeg_ms none "$ffFrames")
    awk -v e="$effect" -v t="$transition" -v f="$frames" -v g="$ffFrames" -v ms="$ms" -v ff="$ff" -v base="$base" 'BEGIN{
        ours=f*1000/ms; raw=g*1000/ff; net=(ff-base>0)?g*1000/(ff-base):0;
        printf "%-12s %-10s %7d %10.1f %10.1f %12.1f %7.1fx\n", e, t, f, ours, raw, net, (net>0?ours/net:0)}'
}
for pair in "${pairs[@]}"; do
    compare "${pair%%:*}" "${pair##*:}"
done
