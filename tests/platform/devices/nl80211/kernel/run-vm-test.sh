#!/usr/bin/env bash
# Boots Debian's packaged kernel in QEMU (software emulation) with simulated
# radios, access points and an ad hoc peer, runs the provider probe and the
# scanner inside, and checks what they report.
#
#   run-vm-test.sh [--networkmanager] WORK_DIR PROBE_BINARY [SCANNER_BINARY]
#
# With --networkmanager the machine runs NetworkManager and its services and
# checks the scan of a user without privilege instead (vm-init-networkmanager.sh).
# Exits 0 when every check passes; prints each failed check and the machine's
# console log otherwise.
set -uo pipefail

mode=
checker=check-vm-output.sh
if [ "${1:-}" = --networkmanager ]; then
  mode=--networkmanager
  checker=check-vm-networkmanager-output.sh
  shift
fi
work=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"

# The newest packaged kernel that has its modules installed. The running
# kernel belongs to the host and is not used.
kernel=
for image in $(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -V -r); do
  version=${image#/boot/vmlinuz-}
  if [ -d "/usr/lib/modules/$version/kernel/drivers/net/wireless" ]; then
    kernel=$image
    break
  fi
done
if [ -z "$kernel" ]; then
  echo "no packaged kernel with wireless modules under /boot (install linux-image-amd64)" >&2
  exit 1
fi
if ! command -v qemu-system-x86_64 >/dev/null; then
  echo "qemu-system-x86_64 is not installed (install qemu-system-x86)" >&2
  exit 1
fi

"$here/make-initramfs.sh" "$version" "$work" "$work/initramfs.cpio" $mode "$@" || exit 1

console=$work/console.log
accel=tcg
timeout 840 qemu-system-x86_64 -machine pc -accel $accel -cpu max -m 1536 -smp 1 \
  -nographic -no-reboot -nic none -monitor none -serial "file:$console" \
  -kernel "$kernel" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 panic=-1 quiet loglevel=3" </dev/null
status=$?
if [ $status -ne 0 ]; then
  echo "QEMU ended with status $status" >&2
fi
tr -d '\r' <"$console" >"$work/console.txt"
exec "$here/$checker" "$work/console.txt"
