#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window. Extra arguments
# go to the program (for example: --port 45661 --folder /tmp/copy2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --gui
bash scripts/build.sh
exec ./build/app/karsidan "$@"
