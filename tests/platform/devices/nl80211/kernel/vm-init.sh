#!/bin/sh
# First process of the test machine. Sets up fourteen simulated radios:
# access points of each kind of security and channel width, one ad hoc peer,
# one scanner (with a monitor interface beside it), one access point that
# is switched on and off while the scanner runs, and a second scanner that
# has never scanned before the watch on it; then runs the scanner and
# prints each result between marker lines for the host to check. Always
# powers the machine off at the end.
. /vm-common.sh

# Any module the kernel asks for later is noted, so that a missing one shows
# in the log instead of as a silent failure.
printf '#!/bin/sh\necho "$*" >>/tmp/modprobe-requests\nexit 1\n' >/tmp/modprobe
chmod 755 /tmp/modprobe
echo /tmp/modprobe >/proc/sys/kernel/modprobe

for module in $(cat /etc/modules.order); do
  case $module in
    *mac80211_hwsim.ko) insmod "$module" radios=14 || { log "cannot load $module"; finish; } ;;
    # A cipher module made for a processor feature the emulated processor
    # lacks refuses to load; the generic one beside it serves instead.
    *) insmod "$module" || log "cannot load $module" ;;
  esac
done

for i in $(seq 1 50); do
  [ -e /sys/class/net/wlan13 ] && break
  sleep 0.1
done
[ -e /sys/class/net/wlan13 ] || { log "the simulated radios did not appear"; finish; }
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
uptime_now() { cut -d' ' -f1 /proc/uptime; }
# Runs a command and then prints "elapsed START END" (uptimes), keeping its status.
timed() {
  timed_start=$(uptime_now)
  "$@"
  timed_status=$?
  echo "elapsed $timed_start $(uptime_now)"
  return $timed_status
}

# The provider on its own: the interfaces, a refused trigger without
# privilege, a trigger as root that waits for its scan, then the results read
# without privilege.
run user-id as_user id -u
run probe-list $probe list
run probe-trigger-user as_user $probe trigger wlan5
run probe-trigger-unknown $probe trigger nosuchwlan
# Every network beacons more often than a channel's dwell time lasts, so a
# scan hears it even when its probe response comes too late under emulation;
# hostapd answers probes from user space, which is slow here.
run probe-trigger $probe trigger wlan5
run probe-trigger-again $probe trigger wlan5
run probe-read-user as_user $probe read wlan5
run probe-read-wired $probe read lo

# One sweep of every channel without probe requests, started by iw; the probe
# waits for it from before it starts.
$probe wait wlan5 >/tmp/passive 2>&1 &
sleep 1
echo "passive-start $(uptime_now)" >/tmp/passive-start
iw dev wlan5 scan trigger passive
wait
run sweep-passive cat /tmp/passive-start /tmp/passive

# The program's scan engine and catalogue, as the window's scan tick runs
# them, while every access point is still on.
catalogue=/opt/tarvolin/catalogue-probe
[ -x $catalogue ] && run catalogue $catalogue wlan5 10

# The whole scanner: adapters, a scan as root, a read and a refused trigger
# without privilege.
if [ -x $scanner ]; then
  run adapters $scanner
  run scan-root $scanner --trigger wlan5
  run read-user as_user $scanner wlan5
  run trigger-user as_user $scanner --trigger --wait 5000 wlan5
  run scan-json as_user $scanner --json wlan5
  run watch-json $scanner --watch --interval 200 --count 2 --json wlan5
  # A watch that may not start scans shows what the adapter holds, then reads
  # each scan another program starts, as it ends: two scans by root, one a
  # second after the other, end its three readings.
  su user -c "timeout 120 $scanner --watch --interval 0 --count 3 --json wlan5; echo \"status \$? ended \$(cut -d' ' -f1 /proc/uptime)\"" >/tmp/watch-others 2>&1 &
  watcher=$!
  for i in $(seq 1 150); do
    grep -q '"scan":0' /tmp/watch-others && break
    sleep 0.2
  done
  sleep 1
  : >/tmp/watch-others-scans
  for i in 1 2; do
    echo "others-scan $(uptime_now)" >>/tmp/watch-others-scans
    $probe trigger wlan5 >/dev/null 2>&1
    sleep 1
  done
  wait $watcher
  run watch-others cat /tmp/watch-others-scans /tmp/watch-others
  # A radio that has never scanned: each of four back-to-back scans is read
  # as it ends, the first one included.
  ip link set wlan13 up
  run watch-fresh timed $scanner --watch --interval 0 --count 4 --json wlan13
  # A request refused while the interface is down is made again, and the
  # watch goes on once it is up.
  ip link set wlan13 down
  timeout 120 $scanner --watch --interval 0 --count 1 --json wlan13 >/tmp/watch-down 2>&1 &
  watcher=$!
  sleep 3
  ip link set wlan13 up
  wait $watcher
  echo "status $?" >>/tmp/watch-down
  run watch-down cat /tmp/watch-down
  # A request while a scan runs is no failure: the scanner waits for the
  # running scan and shows what it heard.
  iw dev wlan5 scan trigger passive
  run scan-busy $scanner --trigger wlan5

  # --wait bounds the whole request: with no NetworkManager on the bus, the
  # request goes to a helper that never exits (where the installed helper
  # would be), and the scanner still ends at its deadline.
  mkdir -p /opt/lib/tarvolin
  printf '#!/bin/sh\nexec /bin/sleep 120\n' >/opt/lib/tarvolin/tarvolin-trigger
  chmod 755 /opt/lib/tarvolin/tarvolin-trigger
  run trigger-hung-helper timed as_user env DBUS_SYSTEM_BUS_ADDRESS=unix:path=/tmp/no-bus \
    $scanner --trigger --wait 2000 wlan5
  rm -r /opt/lib/tarvolin

  # A one-shot scan while another reader keeps the radio busy: an access
  # point is switched off, and every run shows what a scan that began after
  # it was asked heard, never what the kernel still remembers from before.
  $scanner --watch --interval 500 wlan5 >/tmp/watcher 2>&1 &
  watcher=$!
  sleep 3
  kill "$(cat /run/hostapd-wep.pid)"
  echo "off $(uptime_now)" >/tmp/wep-off
  for i in 1 2 3 4 5 6; do
    run busy-trigger-$i timed $scanner --trigger wlan5
  done
  kill $watcher
  wait $watcher 2>/dev/null
  run busy-watcher cat /tmp/wep-off /tmp/watcher
fi

# Air to list: the program's fastest scan cycle runs while an access point is
# switched on and, once it shows, off again.
: >/tmp/mark
$probe follow wlan5 TarvolinLate /tmp/mark 90 >/tmp/follow 2>&1 &
follower=$!
sleep 2
hostapd -B -P /run/hostapd-late.pid -f /tmp/hostapd-late.log /etc/hostapd-late.conf
for i in $(seq 1 100); do
  grep -q AP-ENABLED /tmp/hostapd-late.log 2>/dev/null && break
  sleep 0.1
done
echo "on $(uptime_now)" >/tmp/mark
for i in $(seq 1 300); do
  grep -q appeared /tmp/follow && break
  sleep 0.1
done
sleep 1
kill "$(cat /run/hostapd-late.pid)"
echo "off $(uptime_now)" >/tmp/mark
for i in $(seq 1 300); do
  grep -q left /tmp/follow && break
  sleep 0.1
done
kill $follower
wait $follower 2>/dev/null
run follow cat /tmp/follow

# A scan of one channel drops what it did not hear there and keeps the rest:
# once the scan the follower asked for is over, the open network on channel 1
# is switched off, then only 2412 MHz is scanned. The probe that waits for
# that scan has seen it start, and reads what it left.
$probe wait wlan5 >/dev/null 2>&1
kill "$(cat /run/hostapd-open.pid)"
sleep 1
$probe wait wlan5 >/tmp/partial 2>&1 &
sleep 1
iw dev wlan5 scan trigger freq 2412
wait
run partial-scan cat /tmp/partial
run iw-scan iw dev wlan5 scan dump

# Following one network with scans of its channel alone (tarvolin-scan
# --follow): full sweeps timed for comparison, then 20 scans of one channel
# while a reader without privilege keeps its own list; a network switched off
# while followed; the same through the helper for a user without privilege.
if [ -x $scanner ]; then
  run follow-sweeps sh -c "for i in 1 2 3; do $probe trigger wlan5; done"
  # One passive scan of a single channel, started by iw, timed as the
  # passive sweep above.
  $probe wait wlan5 >/tmp/passive-channel 2>&1 &
  sleep 1
  echo "passive-start $(uptime_now)" >/tmp/passive-channel-start
  timeout 10 iw dev wlan5 scan trigger freq 2437 passive
  wait
  run follow-passive-channel cat /tmp/passive-channel-start /tmp/passive-channel
  wpa2=$(cat /sys/class/net/wlan1/address)
  # The kernel holds the network from the sweeps above: the first reading
  # comes from a scan of its channel, without a sweep before it.
  run follow-held timed $scanner --follow "$wpa2" --count 1 --json wlan5
  # The reader keeps its own pid, so that Ctrl-C reaches it and not su.
  su user -c "echo \$\$ >/tmp/watcher.pid; exec $scanner --watch --interval 200 --json wlan5" >/tmp/follow-watch 2>&1 &
  watcher=$!
  sleep 3
  run follow-active timed timeout 120 $scanner --follow "$wpa2" --count 20 --json wlan5
  sleep 1
  kill -INT "$(cat /tmp/watcher.pid)"
  wait $watcher 2>/dev/null
  run follow-watch cat /tmp/follow-watch

  owe=$(cat /sys/class/net/wlan9/address)
  : >/tmp/follow-off
  $scanner --follow "$owe" --json wlan5 >>/tmp/follow-off 2>&1 &
  follower=$!
  for i in $(seq 1 300); do
    [ "$(grep -c signal_dbm /tmp/follow-off)" -ge 5 ] && break
    sleep 0.1
  done
  # Off once hostapd has gone: until then it may still send beacons.
  owe_pid=$(cat /run/hostapd-owe.pid)
  kill "$owe_pid"
  for i in $(seq 1 100); do
    kill -0 "$owe_pid" 2>/dev/null || break
    sleep 0.02
  done
  echo "switched off" >>/tmp/follow-off
  for i in $(seq 1 100); do
    sed -n '/^switched off/,$p' /tmp/follow-off | grep -q '"signal_dbm":null' && break
    sleep 0.1
  done
  kill -INT $follower
  wait $follower 2>/dev/null
  run follow-off cat /tmp/follow-off

  mkdir -p /opt/lib/tarvolin
  cp /opt/tarvolin/tarvolin-trigger /opt/lib/tarvolin/tarvolin-trigger
  setcap cap_net_admin+ep /opt/lib/tarvolin/tarvolin-trigger
  run follow-helper-caps as_user 'id -u; grep -E "^Cap(Inh|Prm|Eff|Amb)" /proc/self/status'
  run follow-helper timed as_user timeout 120 $scanner --follow "$wpa2" --count 10 --json wlan5
  run trigger-frequency as_user /opt/lib/tarvolin/tarvolin-trigger wlan5 2437
  # The scan just started may still run, and the kernel answers busy (which
  # the helper counts as started) before it looks at the frequency: ask again
  # until the radio is free to refuse it.
  run trigger-no-channel as_user 'for try in 1 2 3 4 5 6 7 8 9 10; do
    /opt/lib/tarvolin/tarvolin-trigger wlan5 4000; status=$?
    [ $status -ne 0 ] && exit $status; sleep 0.3
  done; exit 0'
  rm -r /opt/lib/tarvolin
fi

finish
