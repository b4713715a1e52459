#!/bin/sh
# Checks Tarvolin as the Debian package installed it below ROOT ("/" for this
# machine), then purges the package and checks that nothing is left.
# Usage: check-installed.sh ROOT
# Runs on the host; commands meant for the installed system run through
# chroot when ROOT is not "/". Prints one line per failed check and exits 1
# if any failed.
set -u
root=$1
failed=0
fail() { echo "package test: $*" >&2; failed=1; }
# Runs a command inside the installed system with a clean environment, as a
# user's shell would start it: by name, through PATH. None may hang the test.
chroot=$(command -v chroot || echo /usr/sbin/chroot)
inside() {
    if [ "$root" = / ]; then
        timeout 60 env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root QT_QPA_PLATFORM=offscreen "$@"
    else
        timeout 60 env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root QT_QPA_PLATFORM=offscreen \
            "$chroot" "$root" "$@"
    fi
}
at() { echo "${root%/}$1"; }

files="
/usr/bin/tarvolin
/usr/bin/tarvolin-scan
/usr/bin/tarvolin-demo
/usr/lib/tarvolin/tarvolin-trigger
/usr/lib/tarvolin/modules/tarvolin-sound.so
/usr/share/applications/org.tarvolin.Tarvolin.desktop
/usr/share/metainfo/org.tarvolin.Tarvolin.metainfo.xml
/usr/share/icons/hicolor/16x16/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/22x22/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/24x24/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/32x32/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/48x48/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/64x64/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/128x128/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/256x256/apps/org.tarvolin.Tarvolin.png
/usr/share/icons/hicolor/scalable/apps/org.tarvolin.Tarvolin.svg
/usr/share/man/man1/tarvolin.1.gz
/usr/share/man/man1/tarvolin-scan.1.gz
/usr/share/man/man1/tarvolin-demo.1.gz
/usr/share/doc/tarvolin/copyright
/usr/share/doc/tarvolin/changelog.Debian.gz
/usr/share/doc/tarvolin/scenario-format.md
/usr/share/tarvolin/street-walk.scn
"

# Files in place.
for file in $files; do
    [ -f "$(at "$file")" ] || fail "$file is missing"
done

# The capability on the helper and on no other file of the package. (Other
# packages may have their own: GStreamer's PTP helper, ping on some systems.)
package_capabilities() {
    inside dpkg-query -L tarvolin | while read -r path; do
        [ -f "$(at "$path")" ] && getcap "$(at "$path")"
    done | sed "s|^${root%/}||"
}
caps=$(package_capabilities)
expected="/usr/lib/tarvolin/tarvolin-trigger cap_net_admin=ep"
[ "$caps" = "$expected" ] || fail "capabilities are not just the helper's: [$caps]"
# In a throwaway root every capability on any file is accounted for: the
# helper's, or one another package gives its own file.
if [ "$root" != / ]; then
    strays=$(for top in usr etc var opt; do
        [ -d "$(at "/$top")" ] && getcap -r "$(at "/$top")" 2>/dev/null
    done | sed "s|^${root%/}||" | while read -r path rest; do
        [ "$path $rest" = "$expected" ] && continue
        owner=$(inside dpkg-query -S "$path" 2>/dev/null | cut -d: -f1)
        [ -n "$owner" ] && [ "$owner" != tarvolin ] || echo "$path $rest"
    done)
    [ -z "$strays" ] || fail "capabilities on files no other package owns: $strays"
fi

# Every program's libraries are there (the Depends are complete), and the
# programs run from PATH.
for program in tarvolin tarvolin-scan tarvolin-demo; do
    inside ldd "/usr/bin/$program" | grep -q "not found" && fail "$program misses a library"
done
version=$(inside tarvolin --version) || fail "tarvolin --version failed"
[ "$version" = "Tarvolin 1.2" ] || fail "tarvolin --version printed [$version]"
version=$(inside tarvolin-scan --version) || fail "tarvolin-scan --version failed"
[ "$version" = "Tarvolin 1.2" ] || fail "tarvolin-scan --version printed [$version]"
help=$(inside tarvolin-scan --help) || fail "tarvolin-scan --help failed"
echo "$help" | grep -q "^Usage: tarvolin-scan" || fail "tarvolin-scan --help printed no usage"
inside tarvolin-demo --screenshot /tmp/tarvolin-package-test.png --ticks 3 >/dev/null ||
    fail "tarvolin-demo could not draw its window"
[ -s "$(at /tmp/tarvolin-package-test.png)" ] || fail "tarvolin-demo wrote no screenshot"
rm -f "$(at /tmp/tarvolin-package-test.png)"
# The helper refuses what is not an interface name with its own status.
inside /usr/lib/tarvolin/tarvolin-trigger "not a name" 2>/dev/null
[ $? -eq 3 ] || fail "tarvolin-trigger did not refuse a bad name"

# The desktop entry and the metainfo as installed.
desktop-file-validate "$(at /usr/share/applications/org.tarvolin.Tarvolin.desktop)" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net "$(at /usr/share/metainfo/org.tarvolin.Tarvolin.metainfo.xml)" >/dev/null ||
    fail "the metainfo does not validate"

# Purging leaves nothing behind.
inside dpkg --purge tarvolin >/dev/null || fail "purging the package failed"
for file in $files /usr/lib/tarvolin /usr/share/tarvolin /usr/share/doc/tarvolin; do
    [ -e "$(at "$file")" ] && fail "$file is left after purging"
done
inside dpkg-query -W tarvolin >/dev/null 2>&1 && fail "dpkg still knows the package"
leftover=$(for file in $files; do [ -e "$(at "$file")" ] && getcap "$(at "$file")"; done)
[ -z "$leftover" ] || fail "capabilities left after purging: $leftover"

exit $failed
