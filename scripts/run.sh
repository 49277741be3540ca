#!/usr/bin/env bash
# Installs what is missing, builds Zorva and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target zorva zorva-cli
exec ./build/src/gui/zorva "$@"
