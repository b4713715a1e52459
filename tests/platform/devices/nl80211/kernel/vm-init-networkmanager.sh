#!/bin/sh
# First process of the test machine that proves scanning without privilege:
# the system bus, udev, polkitd, wpa_supplicant and NetworkManager run as on a
# desktop, NetworkManager manages the scanner's radio (wlan5), and an access
# point is switched on once NetworkManager is up. A user without any
# capability then starts a scan with the scanner and must see it. Each result
# is printed between marker lines for the host to check; the machine always
# powers off at the end.
. /vm-common.sh
mkdir -p /var && ln -s /run /var/run
mkdir -p /run/dbus /var/lib/NetworkManager
# The console's first line carries the terminal resets of the firmware.
echo

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  tries=$1
  shift
  while [ "$tries" -gt 0 ]; do
    "$@" >/dev/null 2>&1 && return 0
    tries=$((tries - 1))
    sleep 0.1
  done
  return 1
}

for module in $(cat /etc/modules.order); do
  case $module in
    *mac80211_hwsim.ko) insmod "$module" radios=13 || { log "cannot load $module"; finish; } ;;
    *) insmod "$module" 2>/dev/null ;;
  esac
done
wait_for 50 test -e /sys/class/net/wlan12 || { log "the simulated radios did not appear"; finish; }
ip link set lo up

# The desktop's services, in the order they need each other.
dbus-daemon --config-file=/etc/dbus-1/system-bus.conf --nofork >/tmp/dbus.log 2>&1 &
wait_for 50 test -S /run/dbus/system_bus_socket || log "the system bus did not start"
/usr/lib/polkit-1/polkitd --no-debug >/tmp/polkitd.log 2>&1 &
/usr/sbin/systemd-udevd --daemon >/tmp/udevd.log 2>&1
udevadm trigger --action=add
udevadm settle --timeout=30
wpa_supplicant -u -B -f /tmp/wpa_supplicant.log

# An access point that is already on when NetworkManager starts.
hostapd -B -P /run/hostapd-open.pid -f /tmp/hostapd-open.log /etc/hostapd-open.conf

NetworkManager --no-daemon --debug >/tmp/nm.log 2>&1 &
managed() { nmcli --colors no -t -f DEVICE,STATE device | grep -qx "wlan5:disconnected"; }
wait_for 900 managed || log "NetworkManager does not manage wlan5"
run nm-devices nmcli --colors no -t -f DEVICE,TYPE,STATE device

# The access point switched on after NetworkManager started.
hostapd -B -P /run/hostapd-late.pid -f /tmp/hostapd-late.log /etc/hostapd-late.conf
wait_for 100 grep -q AP-ENABLED /tmp/hostapd-late.log || log "the late access point did not start"

scanner=/opt/tarvolin/tarvolin-scan
# A user with no capability at all, not even inheritable or bounding ones.
as_user() {
  /usr/bin/setpriv.util-linux --reuid=1000 --regid=1000 --clear-groups --inh-caps=-all --bounding-set=-all "$@"
}
run user-caps as_user /bin/sh -c 'id -u; grep -E "^Cap(Inh|Prm|Eff|Bnd|Amb)" /proc/self/status'
run scan-user-nm as_user $scanner --trigger wlan5
# Following a network where NetworkManager alone starts scans: each is a
# sweep of every channel, at NetworkManager's pace.
run follow-nm as_user $scanner --follow "$(cat /sys/class/net/wlan0/address)" --count 2 --json wlan5

run logs sh -c 'tail -n 40 /tmp/nm.log; tail -n 20 /tmp/polkitd.log; tail -n 10 /tmp/wpa_supplicant.log'
finish
