#!/bin/sh
# Builds Tarvolin's Debian package from a built tree, runs lintian on it,
# installs it into a throwaway Debian root made with mmdebstrap from this
# machine's own Debian package sources, and checks it there as installed
# (check-installed.sh). Where mmdebstrap cannot run, the package is
# installed on this machine instead and purged after.
# Usage: check-package.sh BUILD_DIR WORK_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$2
skip=77

if [ "$(id -u)" -ne 0 ]; then
    echo "package test: needs root to install the package; skipped"
    exit $skip
fi

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb=$work/tarvolin_1.2-1_amd64.deb
[ -f "$deb" ] || { echo "package test: cpack made no $deb"; ls "$work"; exit 1; }

# Lintian: no errors and no warnings (informational tags are listed for
# people to read), and no hardening tag of any level: every binary, the
# capability-holding scan helper above all, is built with the distribution's
# hardening flags.
lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
cat "$work/lintian.txt"
if grep -Eq '^[EW]:' "$work/lintian.txt"; then
    echo "package test: lintian reports errors or warnings"
    exit 1
fi
if grep -Eq '^[EWI]: [^ ]+: hardening-' "$work/lintian.txt"; then
    echo "package test: lintian finds binaries built without hardening"
    exit 1
fi

# The machine's Debian sources: the one place packages come from here.
sources=
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && grep -Eq '^[^#]*(deb|URIs:).*/debian' "$file" && sources="$sources $file"
done
. /etc/os-release

if mmdebstrap --version >/dev/null 2>&1 && [ -n "$sources" ] && [ -n "${VERSION_CODENAME:-}" ]; then
    # The packages this machine already downloaded are linked in, so only
    # what it lacks comes from the mirror. The root lives only as long as
    # mmdebstrap runs: the checks run in its last hook. Any failure here
    # fails the test (a Depends that cannot be met, a failed check).
    # shellcheck disable=SC2086
    if mmdebstrap --mode=root --variant=essential --dpkgopt=force-unsafe-io \
        --include="$deb" --hook-dir=/usr/share/mmdebstrap/hooks/file-mirror-automount \
        --setup-hook='mkdir -p "$1/var/cache/apt/archives" && { cp -al /var/cache/apt/archives/*.deb "$1/var/cache/apt/archives/" 2>/dev/null || true; }' \
        --customize-hook="\"$here/check-installed.sh\" \"\$1\"" \
        "$VERSION_CODENAME" /dev/null $sources >"$work/mmdebstrap.log" 2>&1; then
        echo "package test: passed in a throwaway $VERSION_CODENAME root"
        exit 0
    fi
    grep -v '^I: ' "$work/mmdebstrap.log" | tail -40
    exit 1
fi

echo "package test: mmdebstrap cannot run here; installing on this machine instead"
if dpkg-query -W -f='${Status}' tarvolin 2>/dev/null | grep -q 'ok installed'; then
    echo "package test: tarvolin is installed on this machine already; not touching it"
    exit $skip
fi
apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    dpkg --purge tarvolin >/dev/null 2>&1 || true
    exit 1
}
"$here/check-installed.sh" /
