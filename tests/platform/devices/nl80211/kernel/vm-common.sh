# Sourced by both init scripts of the test machines: the environment, the
# file systems every boot needs, and the framing of each step's output that
# the host's check scripts read.
export PATH=/bin:/sbin:/usr/bin:/usr/sbin
export LD_LIBRARY_PATH=/lib/x86_64-linux-gnu:/usr/lib/x86_64-linux-gnu:/lib:/usr/lib
export HOME=/tmp

mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
chmod 1777 /tmp
mkdir -p /run && mount -t tmpfs run /run

finish() {
  echo "@@ DONE"
  sync
  poweroff -f
  # poweroff needs ACPI; without it the machine reboots, and QEMU runs with
  # -no-reboot, so that ends it too.
  reboot -f
}

# Runs a command and frames its output and exit status for the host.
run() {
  name=$1
  shift
  echo "@@ BEGIN $name"
  "$@" 2>&1
  echo "@@ END $name $?"
}

log() { echo "vm: $*"; }
