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
if ! report=$(appstreamcli validate --no-net "$(at /usr/share/metainfo/org.tarvolin.Tarvolin.metainfo.xml)" 2>&1); then
    echo "$report" >&2
    fail "the metainfo does not validate"
fi

# The manual pages as installed, read by both formatters a system may use:
# mandoc's lint and groff's warnings, run on this machine, must find nothing
# at all (a date mandoc cannot read, a line groff cannot set), so that every
# reader sees each page as it was written.
for tool in mandoc groff; do
    command -v $tool >/dev/null || fail "$tool is missing here (see scripts/packages.txt); the manual pages are unchecked"
done
if command -v mandoc >/dev/null && command -v groff >/dev/null; then
    for page in tarvolin tarvolin-scan tarvolin-demo; do
        file=$(at "/usr/share/man/man1/$page.1.gz")
        [ -f "$file" ] || continue
        report=$(mandoc -T lint "$file" 2>&1) && [ -z "$report" ] || fail "mandoc -T lint on $page(1): $report"
        report=$(gzip -dc "$file" | groff -ww -man -Tutf8 2>&1 >/dev/null)
        [ -z "$report" ] || fail "groff -ww on $page(1): $report"
    done
fi

# What the installed documents point to is installed too: they name no
# file of the source tree, and every file of the package they name is there.
for doc in /usr/share/doc/tarvolin/scenario-format.md /usr/share/man/man1/tarvolin.1.gz \
    /usr/share/man/man1/tarvolin-scan.1.gz /usr/share/man/man1/tarvolin-demo.1.gz; do
    [ -f "$(at "$doc")" ] || continue
    # gzip -f passes a file that is not compressed through as it is.
    text=$(gzip -dcf "$(at "$doc")" | sed 's/\\-/-/g; s/\\%//g')
    source=$(echo "$text" | grep -Eo '(^|[^/[:alnum:]_.-])(res|docs|src|tests|tools)/[[:alnum:]_./-]+' | tr '\n' ' ')
    [ -z "$source" ] || fail "$doc names files of the source tree: $source"
    for path in $(echo "$text" | grep -Eo '/usr/(share|lib)/(doc/)?tarvolin/[[:alnum:]_./-]*[[:alnum:]]' | sort -u); do
        [ -e "$(at "$path")" ] || fail "$doc names $path, which is not installed"
    done
done

# Purging leaves nothing behind.
inside dpkg --purge tarvolin >/dev/null || fail "purging the package failed"
for file in $files /usr/lib/tarvolin /usr/share/tarvolin /usr/share/doc/tarvolin; do
    [ -e "$(at "$file")" ] && fail "$file is left after purging"
done
inside dpkg-query -W tarvolin >/dev/null 2>&1 && fail "dpkg still knows the package"
leftover=$(for file in $files; do [ -e "$(at "$file")" ] && getcap "$(at "$file")"; done)
[ -z "$leftover" ] || fail "capabilities left after purging: $leftover"

exit $failed
