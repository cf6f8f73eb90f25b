#!/usr/bin/env bash
# Builds Brimlark with its tests under the address and undefined-behaviour sanitizers
# (warnings as errors) and runs every test suite headless. Any sanitizer report stops the
# test that caused it, so the run fails on memory errors and undefined behaviour alike.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMLARK_TESTS=ON \
      -DBRIMLARK_SANITIZE=ON -DBRIMLARK_WERROR=ON
cmake --build build-asan -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure
