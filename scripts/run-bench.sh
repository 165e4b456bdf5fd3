#!/usr/bin/env bash
# Builds the benchmarks in Release, with FFTW3 and OpenCV for the side-by-side figures,
# and runs them: scripts/run-bench.sh [name ...] runs only bench_<name>. The views' frame
# times run under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh libfftw3-dev libopencv-imgproc-dev
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPM_BUILD_TESTS=OFF \
  -DSPM_BUILD_GUI=ON -DSPM_BUILD_BENCH=ON -DSPM_BENCH_COMPARE=ON
cmake --build build/bench -j "$(nproc)"

if [ $# -eq 0 ]; then
  set -- $(cd build/bench/bench && ls bench_* | sed 's/^bench_//')
fi
for name in "$@"; do
  echo "== bench_$name"
  # The views' frame times need a display and a fixed renderer thread count.
  display=()
  if [ "$name" = views ] && [ -z "${DISPLAY:-}" ]; then
    display=(xvfb-run -a -s "-screen 0 1600x1200x24")
  fi
  LP_NUM_THREADS=${LP_NUM_THREADS:-$(nproc)} "${display[@]}" "build/bench/bench/bench_$name" --benchmark_min_time=0.2
done
