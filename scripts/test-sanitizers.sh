#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehavior-
# Sanitizer into build-asan/ and runs the whole test suite there. Too slow
# for CI: run it by hand before a change is resolved. Extra arguments go to
# ctest (e.g. -R Sender).
#
# clang, because GCC 12's UBSan rejects a constexpr QByteArrayView in
# net/IncomingMessage.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Memasang paket: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Every finding fails its test: UBSan does not go on after a report.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# Leaks are looked for, Qt's too, and none is suppressed: the suite has
# none. Should Qt or a system library show one, suppress it by function in
# an LSan suppression file, never by library: a library entry would match
# every stack through Qt's event loop and hide our own leaks as well.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The test programs are run once while building, to list their tests.
export QT_QPA_PLATFORM=offscreen

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DCMAKE_SHARED_LINKER_FLAGS="$sanitize" \
  -DKARSIDAN_BENCH=OFF -DKARSIDAN_WERROR=OFF \
  "${launcher[@]}"
cmake --build build-asan --parallel "$(nproc)"
# valgrind cannot run a program built with AddressSanitizer (nor read
# clang's DWARF 5): the constant-time test runs in the ordinary build.
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 1200 \
  -E '^ConstantTime\.Memcheck' "$@"
