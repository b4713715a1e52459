#!/usr/bin/env bash
# Builds the root file system of the test machine as an uncompressed cpio
# archive: busybox, the wireless modules of the packaged kernel with
# everything they depend on, hostapd, iw, the regulatory database, the
# scanner under test with its shared libraries, and the init script.
#
#   make-initramfs.sh KERNEL_VERSION WORK_DIR OUTPUT.cpio [--networkmanager] PROGRAM...
#
# With --networkmanager the machine also gets the system bus (dbus-daemon),
# udev, wpa_supplicant, NetworkManager and polkitd, and its init script is
# vm-init-networkmanager.sh.
set -euo pipefail

kver=$1
work=$2
out=$3
shift 3
networkmanager=
if [ "${1:-}" = --networkmanager ]; then
  networkmanager=1
  shift
fi
here=$(cd "$(dirname "$0")" && pwd)
moddir=/usr/lib/modules/$kver

fail() { echo "make-initramfs: $*" >&2; exit 1; }
[ -d "$moddir" ] || fail "no modules for kernel $kver in $moddir"
for program in "$@"; do
  [ -x "$program" ] || fail "$program is missing or not executable"
done
for tool in busybox hostapd iw modprobe cpio ldd setcap; do
  command -v "$tool" >/dev/null || PATH=$PATH:/usr/sbin:/sbin command -v "$tool" >/dev/null \
    || fail "$tool is not installed"
done
export PATH=$PATH:/usr/sbin:/sbin

root=$work/root
rm -rf "$root"
mkdir -p "$root"/{bin,sbin,etc,proc,sys,dev,tmp,run,usr/bin,usr/sbin,usr/lib/firmware,usr/lib64,opt/tarvolin}
# The same merged /usr layout as Debian, so that library paths ldd reports
# through /lib and /lib64 resolve the same way inside.
ln -s usr/lib "$root/lib"
ln -s usr/lib64 "$root/lib64"

# Copies one executable or library and every library ldd names for it,
# keeping the paths it has on this machine (so the loader finds them the same
# way). Sanitizer runtimes come along this way too.
copy_with_libs() {
  local file=$1 dest=${2:-$1}
  mkdir -p "$root$(dirname "$dest")"
  cp -L "$file" "$root$dest"
  ldd "$file" 2>/dev/null | awk '$3 ~ /^\// {print $3} $1 ~ /^\// {print $1}' |
    while read -r lib; do
      [ -e "$root$lib" ] && continue
      mkdir -p "$root$(dirname "$lib")"
      cp -L "$lib" "$root$lib"
    done
}

# busybox provides the shell and every small tool of the init script.
cp "$(command -v busybox)" "$root/bin/busybox"
for applet in $("$root/bin/busybox" --list); do
  [ -e "$root/bin/$applet" ] || ln -s busybox "$root/bin/$applet"
done

copy_with_libs "$(command -v hostapd)" /usr/sbin/hostapd
copy_with_libs "$(command -v iw)" /usr/sbin/iw
# setcap gives the scan helper its capability inside (cpio keeps no file
# capabilities).
copy_with_libs "$(command -v setcap)" /usr/sbin/setcap
for program in "$@"; do
  copy_with_libs "$program" "/opt/tarvolin/$(basename "$program")"
done
# Every binary asks for the loader by this path.
[ -e "$root/lib64/ld-linux-x86-64.so.2" ] || fail "the loader was not copied"

# The regulatory database and its signature, which this kernel insists on.
cp -L /lib/firmware/regulatory.db /lib/firmware/regulatory.db.p7s "$root/lib/firmware/"

# Modules: mac80211_hwsim with everything modules.dep says it needs, then the
# templates mac80211 asks the crypto API for when a WPA2 key is installed
# (CCMP is ccm(aes) over ctr(aes); GCMP and the management-frame ciphers use
# gcm, ghash and cmac), found through their module aliases. modprobe prints
# each set in the order it must be loaded.
: >"$root/etc/modules.order"
for wanted in mac80211_hwsim crypto-ccm crypto-ctr crypto-gcm crypto-ghash crypto-cmac; do
  modprobe -S "$kver" --show-depends "$wanted" >"$work/depends" || fail "cannot resolve $wanted"
  while read -r kind path _; do
    [ "$kind" = insmod ] || continue
    grep -qxF "$path" "$root/etc/modules.order" && continue
    mkdir -p "$root$(dirname "$path")"
    cp "$path" "$root$path"
    echo "$path" >>"$root/etc/modules.order"
  done <"$work/depends"
done

# The scanner runs once as an unprivileged user.
echo "root:x:0:0:root:/root:/bin/sh" >"$root/etc/passwd"
echo "user:x:1000:1000:user:/tmp:/bin/sh" >>"$root/etc/passwd"
printf "root:x:0:\nuser:x:1000:\n" >"$root/etc/group"

cp "$here"/hostapd-*.conf "$here"/hostapd-*.users "$root/etc/"
if [ -n "$networkmanager" ]; then
  # shellcheck source=networkmanager-files.sh
  . "$here/networkmanager-files.sh"
  cp "$here"/vm-init-networkmanager.sh "$root/init"
else
  cp "$here"/vm-init.sh "$root/init"
fi
cp "$here"/vm-common.sh "$root/vm-common.sh"
chmod 755 "$root/init"
# A folder from mktemp is private; everyone must reach the libraries.
chmod 755 "$root"

(cd "$root" && find . -print0 | cpio --null -o -H newc --quiet) >"$out"
