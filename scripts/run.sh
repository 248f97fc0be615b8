#!/usr/bin/env bash
# Installs what the window needs, builds only the window (no tests, no
# benchmarks) into build-run/, apart from the test build in build/, and
# starts it. Extra arguments go to the program (for example:
# --port 45661 --folder /tmp/copy2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build-run -G Ninja --log-level=WARNING \
  -DKARSIDAN_TESTS=OFF -DKARSIDAN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-run --target karsidan --parallel "$(nproc)"
exec ./build-run/app/karsidan "$@"
