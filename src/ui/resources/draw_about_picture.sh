#!/usr/bin/env bash
# Draws the About box's animated picture, tarnwick.gif: a legal pad whose three to-do lines are
# ticked off one after another. Needs ImageMagick's `convert`. Not part of the build: run it
# and commit the picture when the drawing changes.
#
#   src/ui/resources/draw_about_picture.sh [OUTPUT]   (default: tarnwick.gif beside this script)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
output="${1:-${here}/tarnwick.gif}"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

rows=(24 42 60)    # top of each row's check box, in pixels
line_ends=(70 64 72) # where each row's line of text ends

# The pad with its three unticked rows.
pad=(-fill '#c0ffff' -draw 'rectangle 0,0 95,95'
  -fill '#7a9a9a' -draw 'roundrectangle 21,15 81,91 4,4'
  -fill '#fff3a8' -stroke '#8a7a30' -strokewidth 1 -draw 'roundrectangle 18,12 78,88 4,4'
  -fill '#9b2230' -stroke none -draw 'rectangle 18,12 78,20'
  -stroke '#e07070' -draw 'line 30,21 30,87')
for i in "${!rows[@]}"; do
  top="${rows[$i]}" line=$((rows[i] + 12))
  pad+=(-stroke '#9cc0e0' -draw "line 20,${line} 76,${line}"
    -fill white -stroke '#505050' -draw "rectangle 34,$((top + 1)) 42,$((top + 9))"
    -stroke '#707070' -strokewidth 2 -draw "line 47,$((top + 5)) ${line_ends[$i]},$((top + 5))"
    -strokewidth 1)
done

# Appends to `ticks` the drawing of half a tick (STAGE 1) or a whole one (2) in the box whose
# top is TOP.
ticks=()
add_tick() {
  local stage="$1" top="$2" points="34,$(($2 + 5)) 38,$(($2 + 9))"
  if [ "${stage}" -eq 2 ]; then points="${points} 46,$((top - 2))"; fi
  ticks+=(-fill none -stroke '#1a8f2a' -strokewidth 3 -draw "polyline ${points}")
}

frames=()
delays=()
frame() { # frame DELAY: the pad with the ticks so far, shown for DELAY hundredths of a second
  local file="${work}/frame${#frames[@]}.png"
  convert -size 96x96 xc:white "${pad[@]}" "${ticks[@]}" "${file}"
  frames+=("${file}")
  delays+=("$1")
}

frame 90
for top in "${rows[@]}"; do
  done_ticks=("${ticks[@]}")
  add_tick 1 "${top}"
  frame 12
  ticks=("${done_ticks[@]}")
  add_tick 2 "${top}"
  frame 60
done
delays[-1]=150 # the finished list stays a while before the pad starts afresh
frames_args=()
for i in "${!frames[@]}"; do
  frames_args+=(-delay "${delays[$i]}" "${frames[$i]}")
done
convert -loop 0 "${frames_args[@]}" -layers OptimizeFrame "${output}"
echo "wrote ${output}"
