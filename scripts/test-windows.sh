#!/usr/bin/env bash
# The Windows build of everything below Qt: installs MinGW-w64 and Wine
# when missing, cross-builds karsidan-cli.exe and the suites of codepage,
# cipher, bitslice, storage and the platform seams of the command line and
# of the network code into build-windows/, runs them under Wine, and
# checks that karsidan-cli.exe gives the same bytes, messages and exit
# codes as the Linux karsidan-cli in build/ (built first by
# scripts/build.sh).
#
# KARSIDAN_SKIP_WINDOWS=1 skips it while iterating; CI (CI=true) never does.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -n "${KARSIDAN_SKIP_WINDOWS:-}" ]; then
  if [ "${CI:-}" = true ]; then
    echo "KARSIDAN_SKIP_WINDOWS diabaikan di CI: bagian Windows selalu diuji" >&2
  else
    echo "Bagian Windows dilewati (KARSIDAN_SKIP_WINDOWS)."
    exit 0
  fi
fi
started=$(date +%s)

bash scripts/install-deps.sh windows

werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# The Linux build's -O2 (files that want -O3 ask for it themselves) without
# its debug information, which is much of the build time and of the .exe.
# GCC 12 at -O3 warns falsely (-Wrestrict) inside std::string.
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DKARSIDAN_WERROR="$werror" "${launcher[@]}" >/dev/null
cmake --build build-windows --parallel "$(nproc)"
built=$(date +%s)

# One .exe that needs nothing but Windows' own DLLs.
imports=$(x86_64-w64-mingw32-objdump -p build-windows/cli/karsidan-cli.exe | sed -n 's/^\s*DLL Name: //p')
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | shell32.dll | ws2_32.dll) ;;
    *)
      echo "karsidan-cli.exe memerlukan $dll, yang bukan bagian dari Windows" >&2
      exit 1
      ;;
  esac
done

export WINEPREFIX=$root/build-windows/wineprefix
# Whatever runs here ends with the Wine server of this prefix, and only it.
trap 'WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true' EXIT

ctest --test-dir build-windows --output-on-failure --parallel "$(nproc)" --timeout 600
# The console's seams (the prompt without echo, Ctrl-C) skip above: Wine
# makes a console only on a terminal. Once more in a pseudo-terminal from
# script(1), where neither may skip.
report=build-windows/console-tests.xml
rm -f "$report"
timeout 300 script -qec "scripts/wine-run.sh '$WINEPREFIX' \
  build-windows/tests/cli/platform/karsidan_cli_platform_tests.exe \
  --gtest_filter='*Prompt*:*Stop*' --gtest_output=xml:$report" /dev/null </dev/null >/dev/null
if ! grep -q '<testsuites tests="2" failures="0"' "$report" || grep -q 'result="skipped"' "$report"; then
  echo "Uji konsol Windows gagal atau dilewati:" >&2
  cat "$report" >&2 || true
  exit 1
fi
tested=$(date +%s)

bash scripts/compare-windows-cli.sh build/cli/karsidan-cli build-windows/cli/karsidan-cli.exe \
  build/tests/cli/platform/karsidan_argument_echo build-windows/tests/cli/platform/karsidan_argument_echo.exe
compared=$(date +%s)

echo "Windows: $((compared - started)) s (pasang dan bangun $((built - started)) s, uji di Wine" \
  "$((tested - built)) s, perbandingan $((compared - tested)) s)"
