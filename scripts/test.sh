#!/usr/bin/env bash
# Installs the dependencies, builds Brimlark with its tests (warnings as errors) and runs
# every test suite headless. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMLARK_TESTS=ON \
      -DBRIMLARK_WERROR=ON
cmake --build build-tests -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-tests --output-on-failure
