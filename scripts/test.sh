#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed),
# then the Windows build of the command line under Wine
# (scripts/test-windows.sh; KARSIDAN_SKIP_WINDOWS=1 skips it outside CI).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
bash scripts/test-windows.sh
