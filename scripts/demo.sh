#!/usr/bin/env bash
# The main job on the embedded demo scene: the looks (Orvik on every surface),
# the graded variant, the scene with every Orvik setting at its default and the
# scene with the host's own shading, each with its render time; then the
# lighting study, one sphere per shading feature.
# Usage: scripts/demo.sh [BUILD-FOLDER] (default: build); images go to out/.
set -euo pipefail
BUILD=${1:-build}
ORVIK="$BUILD/host/orvik"
if [[ ! -x "$ORVIK" ]]; then
  echo "demo.sh: $ORVIK not found; build first (make build, or give the build folder)" >&2
  exit 1
fi
mkdir -p out
"$ORVIK" demo --out out
echo "Lighting study (terminator, rim, anisotropy, retro-reflection, soft shadows):"
"$ORVIK" render scenes/lighting_study.orvs -o out/lighting-study.png
