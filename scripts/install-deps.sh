#!/usr/bin/env bash
# Installs what Brimlark needs on Debian 12: the build set, and with --tests also the test
# and benchmark libraries. Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgif-dev libjpeg62-turbo-dev
          zlib1g-dev fonts-liberation)
if [[ "${1:-}" == "--tests" ]]; then
    packages+=(libgtest-dev libbenchmark-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
