#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts the application: on the file given
# as the argument, or on the bundled sample image.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
file="${1:-$root/resources/samples/sample.spm}"
# A relative path names a file from where the script was started.
[[ "$file" = /* ]] || file="$PWD/$file"
cd "$root"

bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
# The program alone: the test command builds the rest.
cmake --build build/release -j "$(nproc)" --target spmviewer

exec build/release/app/spmviewer "$file"
