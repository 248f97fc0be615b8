#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info, Ninja).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
launcher=()
# Rebuilds after a branch switch take seconds instead of minutes.
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -G Ninja -DKARSIDAN_WERROR="$werror" "${launcher[@]}" "$@"
cmake --build build --parallel "$(nproc)"
