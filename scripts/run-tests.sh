#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in Release
# (unit tests and GUI tests under a virtual display) and once under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

# A comma-decimal locale of our own, so the files' number formatting is tested against it
# without touching the system's locale list.
mkdir -p build/locale
if localedef -i de_DE -f UTF-8 build/locale/de_DE.UTF-8 >/dev/null 2>&1; then
  export LOCPATH="$PWD/build/locale"
fi

echo "== Layout"
bash scripts/check-layout.sh

echo "== Release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"

echo "== Sanitizer build (ASan + UBSan)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPM_SANITIZE=ON -DSPM_BUILD_GUI=OFF
cmake --build build/asan -j "$jobs"

# GUI tests need a display; the unit tests do not, but share one run for simplicity.
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a test program that
# connects during that reset is refused ("could not connect to display").
run_with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" "$@"; fi
}

echo "== Tests (Release)"
run_with_display ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== Tests (ASan + UBSan)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" -L unit

echo "All tests passed."
