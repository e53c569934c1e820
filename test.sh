#!/bin/bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them headless.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kvr_install_missing

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVR_SANITIZE=ON -DKVR_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
cd build-asan
ctest --output-on-failure -j"$(nproc)"
