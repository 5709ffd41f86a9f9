#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed on (for example COM3 to pick the serial port).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-app -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_GUI=ON \
  -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCHMARKS=OFF -DVEXA_FUZZ=OFF -DVEXA_SANITIZE= >/dev/null
cmake --build build-app --target vexautils
exec build-app/app/vexautils "$@"
