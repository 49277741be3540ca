#!/usr/bin/env bash
# Installs what is missing, builds Zorva and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if cmake --build build -j"$(nproc)" --target zorva 2>/dev/null; then
  exec ./build/src/gui/zorva "$@"
fi
cmake --build build -j"$(nproc)" --target zorva-cli
exec ./build/src/cli/zorva-cli "${@:-at}" 
