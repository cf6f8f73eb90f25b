#!/usr/bin/env bash
# Installs the dependencies, builds Brimlark and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMLARK_TESTS=OFF
cmake --build build -j2
exec build/bin/brimlark
