#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed on (for example COM3 to pick the serial port).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build --target vexautils
exec build/app/vexautils "$@"
