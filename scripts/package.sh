#!/usr/bin/env bash
# Installs what the project needs, builds the programs and makes the Debian
# package build/tarvolin_1.2-1_amd64.deb, to install with
#   sudo apt install ./build/tarvolin_1.2-1_amd64.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja >/dev/null
cmake --build "$top/build" --target tarvolin tarvolin-demo tarvolin-scan tarvolin-trigger compressed_docs
(cd "$top/build" && cpack -G DEB >/dev/null)
echo "Made $top/build/tarvolin_1.2-1_amd64.deb; install it with:"
echo "  sudo apt install $top/build/tarvolin_1.2-1_amd64.deb"
