#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info, Ninja).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
cmake -S . -B build -G Ninja -DKARSIDAN_WERROR="$werror" "$@"
cmake --build build --parallel "$(nproc)"
