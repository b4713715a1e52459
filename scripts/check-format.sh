#!/usr/bin/env bash
# Fails when a C or C++ file in the tree differs from the house style in
# .clang-format, and names the files. scripts/format.sh fixes them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/tarvolin-format.$$; then
    grep -oE '^[^:]+:[0-9]+:[0-9]+: (error|warning)' /tmp/tarvolin-format.$$ | cut -d: -f1 | sort -u |
        sed 's/^/not in the house style: /' >&2
    rm -f /tmp/tarvolin-format.$$
    echo "Run scripts/format.sh to reformat them." >&2
    exit 1
fi
rm -f /tmp/tarvolin-format.$$
echo "Every C and C++ file is in the house style."
