#!/usr/bin/env bash
# Builds the differential fuzz target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs it for SECONDS seconds (default 120),
# seeded from the script tests. Installs clang and its fuzzing runtime on
# Debian when they are missing. Fails on the first input whose walked and
# compiled runs differ, and on any crash or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-120}"

if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends clang libclang-rt-14-dev
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZENTUL_FUZZ=ON -DZENTUL_SANITIZE=ON -DZENTUL_TESTS=OFF
cmake --build build-fuzz -j 2 --target zentul_fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/run"
# New inputs go to the first folder; the script tests are only read.
(cd "$work/run" && "$OLDPWD/build-fuzz/zentul_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -dict="$OLDPWD/tests/fuzz/zentul.dict" "$work/corpus" "$OLDPWD/tests/scripts" \
    "$OLDPWD/tests/fuzz/seeds")
