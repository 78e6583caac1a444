#!/usr/bin/env bash
# The main job on the embedded demo scene.
set -euo pipefail
BUILD=${1:-build}
mkdir -p out
exec "$BUILD/host/orvik" demo --out out
