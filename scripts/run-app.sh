#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the application on the bundled
# sample image.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$(nproc)"

app=build/release/app/spmviewer
if [ ! -x "$app" ]; then
  echo "Built the libraries and tests; the application window is not part of the build yet."
  exit 0
fi
exec "$app" resources/samples/sample.spm
