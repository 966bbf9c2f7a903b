#!/usr/bin/env bash
# Installs on Debian whatever building and testing Zentul needs and is
# missing: the toolchain and GoogleTest, the tools that the tests run
# (curl, wget, vim, mandoc, node, dpkg-shlibdeps, lintian, perl, lua), and the npm packages of the
# TextMate grammar test. Runs apt-get through sudo when not root; does
# nothing when all is there.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
need() { command -v "$1" >/dev/null || missing+=("$2"); }
need cmake cmake
need ninja ninja-build
need g++ g++
need python3 python3
need curl curl
need wget wget
need mandoc mandoc
need node nodejs
need npm npm
need dpkg-shlibdeps dpkg-dev
# The Debian package's check reads it with lintian.
need lintian lintian
# The benchmark's checksum test runs its workloads in these too.
need perl perl
need lua5.4 lua5.4
# The syntax test needs a Vim with syntax support, which vim-tiny lacks.
vim --version 2>/dev/null | grep -q '+syntax' || missing+=(vim)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)

if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The versions locked in tests/editors/package-lock.json.
if [ ! -d tests/editors/node_modules/vscode-textmate ] || [ ! -d tests/editors/node_modules/vscode-oniguruma ]; then
    npm ci --prefix tests/editors --no-audit --no-fund
fi
