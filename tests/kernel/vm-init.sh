#!/bin/sh
# First process of the test machine. Sets up six simulated radios: four access
# points (open, WPA2, hidden name, 5 GHz), one ad hoc peer and one scanner,
# then runs the scanner and prints each result between marker lines for the
# host to check. Always powers the machine off at the end.
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

# Any module the kernel asks for later is noted, so that a missing one shows
# in the log instead of as a silent failure.
printf '#!/bin/sh\necho "$*" >>/tmp/modprobe-requests\nexit 1\n' >/tmp/modprobe
chmod 755 /tmp/modprobe
echo /tmp/modprobe >/proc/sys/kernel/modprobe

SCAN_WAIT_MS=$(sed -n 's/.*tarvolin.wait=\([0-9]*\).*/\1/p' /proc/cmdline)
[ -n "$SCAN_WAIT_MS" ] || # Any module the kernel asks for later is noted, so that a missing one shows
# in the log instead of as a silent failure.
printf '#!/bin/sh\necho "$*" >>/tmp/modprobe-requests\nexit 1\n' >/tmp/modprobe
chmod 755 /tmp/modprobe
echo /tmp/modprobe >/proc/sys/kernel/modprobe

SCAN_WAIT_MS=5000

for module in $(cat /etc/modules.order); do
  case $module in
    *mac80211_hwsim.ko) insmod "$module" radios=12 || { log "cannot load $module"; finish; } ;;
    # A cipher module made for a processor feature the emulated processor
    # lacks refuses to load; the generic one beside it serves instead.
    *) insmod "$module" || log "cannot load $module" ;;
  esac
done

for i in $(seq 1 50); do
  [ -e /sys/class/net/wlan5 ] && break
  sleep 0.1
done
[ -e /sys/class/net/wlan5 ] || { log "the simulated radios did not appear"; finish; }
ip link set lo up

# The ad hoc peer first: mac80211 looks for an existing cell for some seconds
# before it creates its own.
iw dev wlan4 set type ibss
ip link set wlan4 up
iw dev wlan4 ibss join TarvolinAdhoc 2462 fixed-freq beacon-interval 20

# The 5 GHz access point first: its country code sets the regulatory domain
# the other radios follow. Then one access point for each kind of security
# and channel width the scanner tells apart (wlan6 to wlan11).
ACCESS_POINTS="5ghz open wpa2 hidden wep sae mixed owe eap vht"
for conf in $ACCESS_POINTS; do
  hostapd -B -P /run/hostapd-$conf.pid -f /tmp/hostapd-$conf.log /etc/hostapd-$conf.conf \
    || { log "hostapd $conf failed"; cat /tmp/hostapd-$conf.log; }
done


ip link set wlan5 up
# A monitor beside the scanner: wireless, yet no adapter to scan with.
iw dev wlan5 interface add mon0 type monitor

# Give every access point time to come up and beacon, the ad hoc peer time to
# create its cell.
for i in $(seq 1 100); do
  up=0
  for conf in $ACCESS_POINTS; do
    grep -q AP-ENABLED /tmp/hostapd-$conf.log 2>/dev/null && up=$((up + 1))
  done
  [ $up -eq $(echo $ACCESS_POINTS | wc -w) ] && break
  sleep 0.2
done
for conf in $ACCESS_POINTS; do
  grep -q AP-ENABLED /tmp/hostapd-$conf.log || { log "hostapd $conf did not start:"; cat /tmp/hostapd-$conf.log; }
done
for i in $(seq 1 150); do
  iw dev wlan4 info | grep -q channel && break
  sleep 0.2
done
iw dev wlan4 info | grep -q channel || log "the ad hoc peer did not create its cell"
run module-requests cat /tmp/modprobe-requests
run regdomain iw reg get
run interfaces iw dev

probe=/opt/tarvolin/nl80211-probe
scanner=/opt/tarvolin/tarvolin-scan
as_user() { su user -c "$*"; }

# The provider on its own: the interfaces, a refused trigger without
# privilege, a trigger as root, then the results read without privilege.
run user-id as_user id -u
run probe-list $probe list
run probe-trigger-user as_user $probe trigger wlan5
run probe-trigger-unknown $probe trigger nosuchwlan
# Every network beacons more often than a channel's dwell time lasts, so a
# scan hears it even when its probe response comes too late under emulation;
# hostapd answers probes from user space, which is slow here.
# Under emulation a probe response now and then misses a channel's short
# dwell time; the kernel keeps what it heard for 30 s, so a second scan fills
# such a gap.
run probe-trigger $probe trigger wlan5
sleep $((SCAN_WAIT_MS / 1000))
run probe-trigger-again $probe trigger wlan5
sleep $((SCAN_WAIT_MS / 1000))
run probe-read-user as_user $probe read wlan5
run probe-read-wired $probe read lo

# The whole scanner: adapters, a scan as root, a read and a refused trigger
# without privilege.
if [ -x $scanner ]; then
  run adapters $scanner
  run scan-root $scanner --trigger --wait "$SCAN_WAIT_MS" wlan5
  run read-user as_user $scanner wlan5
  run trigger-user as_user $scanner --trigger --wait 0 wlan5
  run scan-json as_user $scanner --json wlan5
  run watch-json as_user $scanner --watch --interval 200 --count 2 --json wlan5
fi
run iw-scan iw dev wlan5 scan dump
finish
