#!/usr/bin/env bash
# Checks the console log of the test machine: the provider probe's answers
# and, when the scanner ran, the scanner's lines.
#
#   check-vm-output.sh CONSOLE_LOG
set -uo pipefail
log=$1
# shellcheck source=check-common.sh
. "$(dirname "$0")/check-common.sh"
ran() { grep -q "^@@ END $1 " "$log"; }

expect_status() {
  local step=$1 wanted=$2 got
  got=$(status "$step")
  [ "$got" = "$wanted" ] || fail "$step ended with status '${got:-none}', expected $wanted"
}

# The probe's line for the BSS with this escaped SSID (and, optionally, mode).
# (awk -v would expand the backslash escapes, so the values go through the
# environment.)
probe_line() { section probe-read-user | SSID=$1 MODE=${2:-} awk -F'\t' '$7 == ENVIRON["SSID"] && (ENVIRON["MODE"] == "" || $4 == ENVIRON["MODE"])' | head -n1; }

# probe_bss SSID MHZ MODE PRIVACY BEACON
probe_bss() {
  local ssid=$1 mhz=$2 mode=$3 privacy=$4 beacon=$5 line
  line=$(probe_line "$ssid" "$mode")
  if [ -z "$line" ]; then
    fail "the provider did not report '$ssid' (mode $mode)"
    return
  fi
  IFS=$'\t' read -r mac f rssi m p b _ <<<"$line"
  [[ $mac =~ ^([0-9a-f]{2}:){5}[0-9a-f]{2}$ ]] || fail "'$ssid': BSSID '$mac'"
  [ "$f" = "$mhz" ] || fail "'$ssid': frequency $f MHz, expected $mhz"
  [ "$m" = "$mode" ] || fail "'$ssid': mode $m, expected $mode"
  [ "$p" = "$privacy" ] || fail "'$ssid': privacy $p, expected $privacy"
  [ "$b" = "$beacon" ] || fail "'$ssid': beacon period $b, expected $beacon"
  { [ "$rssi" -lt 0 ] && [ "$rssi" -ge -100 ]; } || fail "'$ssid': signal $rssi dBm is not plausible"
}

if ! grep -q "^@@ DONE" "$log"; then
  fail "the machine did not finish its script"
fi

[ "$(section user-id)" = 1000 ] || fail "the unprivileged steps did not run as user 1000"

# Interfaces: the six radios are wireless, loopback is not.
expect_status probe-list 0
for i in 0 1 2 3 4 5; do
  section probe-list | grep -qx "wlan$i	wireless" || fail "wlan$i is not listed as wireless"
done
section probe-list | grep -qx "lo	wired" || fail "lo is not listed as wired"

# Starting a scan needs privilege; with no NetworkManager the refusal is
# ERROR_ACCESS_DENIED. An unknown interface is ERROR_FILE_NOT_FOUND.
expect_status probe-trigger-user 1
section probe-trigger-user | grep -qx "error 5" || fail "unprivileged trigger did not report access denied"
expect_status probe-trigger-unknown 1
section probe-trigger-unknown | grep -qx "error 2" || fail "unknown interface did not report file not found"
expect_status probe-trigger 0
expect_status probe-trigger-again 0
# A trigger waits for its own scan to complete.
section probe-trigger-again | grep -q "^completed in [0-9]* ms" || fail "the trigger did not wait for its scan"
expect_status probe-read-wired 1
section probe-read-wired | grep -qx "error 50" || fail "reading loopback did not report not supported"

# Reading needs no privilege and reports every network as configured.
expect_status probe-read-user 0
probe_bss TarvolinOpen 2412 1 0 20
probe_bss 'TarvolinWPA2-\xc3\xa9' 2437 1 1 25
probe_bss '' 2462 1 0 20
probe_bss Tarvolin5GHz 5180 1 0 20
probe_bss TarvolinAdhoc 2462 0 0 20

# The scanner, when it was built: same networks through the device layer.
scanner_line() { section "$1" | SSID=$2 MODE=$3 awk -F'\t' '$6 == ENVIRON["SSID"] && $4 == ENVIRON["MODE"]' | head -n1; }
# scanner_bss STEP SSID CHANNEL MODE PRIVACY
scanner_bss() {
  local step=$1 ssid=$2 channel=$3 mode=$4 privacy=$5 line
  line=$(scanner_line "$step" "$ssid" "$mode")
  if [ -z "$line" ]; then
    fail "$step: the scanner did not report '$ssid' ($mode)"
    return
  fi
  IFS=$'\t' read -r mac ch rssi m p _ <<<"$line"
  [[ $mac =~ ^([0-9a-f]{2}:){5}[0-9a-f]{2}$ ]] || fail "$step '$ssid': MAC '$mac'"
  [ "$ch" = "$channel" ] || fail "$step '$ssid': channel $ch, expected $channel"
  [ "$p" = "$privacy" ] || fail "$step '$ssid': '$p', expected '$privacy'"
  { [ "$rssi" -lt 0 ] && [ "$rssi" -ge -100 ]; } || fail "$step '$ssid': signal $rssi dBm is not plausible"
}
if ran adapters; then
  expect_status adapters 0
  # The ad hoc peer and the scanner can scan; the access points and the
  # monitor are wireless but cannot, and are not offered.
  for i in 4 5; do
    section adapters | grep -qw "wlan$i" || fail "the scanner does not offer wlan$i"
  done
  for i in 0 1 2 3 6 7 8 9 10 11; do
    section adapters | grep -qw "wlan$i" && fail "the scanner offers the access point wlan$i"
  done
  section adapters | grep -qw mon0 && fail "the scanner offers the monitor mon0"
  section adapters | grep -qw lo && fail "the scanner offers loopback as a wireless adapter"
  for step in scan-root read-user; do
    expect_status $step 0
    scanner_bss $step TarvolinOpen 1 AP open
    scanner_bss $step "TarvolinWPA2-é" 6 AP secured
    scanner_bss $step "" 11 AP open
    scanner_bss $step Tarvolin5GHz 36 AP open
    scanner_bss $step TarvolinAdhoc 11 PEER open
  done
  [ "$(status trigger-user)" = 0 ] && fail "an unprivileged trigger without NetworkManager reported success"
  [ -n "$(section trigger-user)" ] || fail "an unprivileged trigger failed without a message"
fi

# Details from the information elements, as each hostapd configuration sets
# them: json_bss SSID FIELDS, where FIELDS is a run of the scanner's JSON
# fields exactly as it writes them (compact, in its order).
json_bss() {
  local ssid=$1 fields=$2 line
  line=$(section scan-json | grep -F "\"ssid\":\"$ssid\"" | head -n1)
  if [ -z "$line" ]; then
    fail "scan-json: the scanner did not report '$ssid'"
    return
  fi
  case $line in
    *"$fields"*) ;;
    *) fail "scan-json '$ssid': expected $fields in $line" ;;
  esac
}
if ran scan-json; then
  expect_status scan-json 0
  json_bss TarvolinOpen '"band":"2.4","width_mhz":20,'
  json_bss TarvolinOpen '"security":"open","transition":false,"enterprise":false,"wps":false,'
  json_bss 'TarvolinWPA2-é' '"security":"wpa2","transition":false,"enterprise":false,'
  json_bss TarvolinWEP '"security":"wep","transition":false,"enterprise":false,'
  json_bss TarvolinSAE '"band":"5","width_mhz":40,'
  json_bss TarvolinSAE '"security":"wpa3","transition":false,"enterprise":false,"wps":false,'
  json_bss TarvolinMixed '"security":"wpa3","transition":true,"enterprise":false,"wps":true,'
  json_bss TarvolinOWE '"security":"owe","transition":false,"enterprise":false,'
  json_bss TarvolinEAP '"security":"wpa2","transition":false,"enterprise":true,'
  json_bss TarvolinVHT80 '"frequency_mhz":5180,"channel":36,"band":"5","width_mhz":80,'
  json_bss Tarvolin5GHz '"width_mhz":20,'
  section scan-json | grep -q '"last_seen_ms":[0-9]' || fail "scan-json: no network has a last_seen_ms"
fi
# Watch mode on the real kernel: the first scan reports every network as new.
if ran watch-json; then
  expect_status watch-json 0
  for ssid in TarvolinOpen TarvolinMixed TarvolinEAP TarvolinVHT80; do
    section watch-json | grep -F '"scan":0,"event":"new"' | grep -qF "\"ssid\":\"$ssid\"" \
      || fail "watch-json: '$ssid' was not reported as new in the first scan"
  done
fi

# Freshness. The field after "at=" is boot-time milliseconds, after "scans="
# the number of scans the scanner's interface completed until then.
field() { section "$1" | sed -n "s/^$2 .*$3=\([0-9]*\).*/\1/p" | head -n1; }
if ran scan-root; then
  section scan-root | grep -q "did not complete" && fail "scan-root: the scanner's own scan did not complete in time"
  expect_status scan-busy 0
  [ "$(section scan-busy | grep -c "")" -ge 5 ] || fail "scan-busy: a request during a running scan did not show its networks"
  section scan-busy | grep -q "tarvolin-scan:" && fail "scan-busy: a request during a running scan reported: $(section scan-busy | grep tarvolin-scan:)"
fi

# Milliseconds from "elapsed START END" (uptimes) in a step's output.
elapsed_ms() { section "$1" | awk '$1 == "elapsed" {printf "%d", ($3 - $2) * 1000}'; }

# --wait bounds the whole request, also when the helper never exits.
if ran trigger-hung-helper; then
  expect_status trigger-hung-helper 3
  section trigger-hung-helper | grep -qx "tarvolin-scan: no scan on wlan5 completed within 2000 ms" ||
    fail "trigger-hung-helper: no line saying that no scan completed in time"
  took=$(elapsed_ms trigger-hung-helper)
  if [ -z "$took" ] || [ "$took" -gt 4000 ]; then
    fail "trigger-hung-helper: --wait 2000 ended after ${took:-?} ms"
  else
    echo "measured: --trigger --wait 2000 with a helper that never exits ended after $took ms"
  fi
fi

# One-shot scans beside a reader that keeps the radio busy: none shows the
# access point switched off before it, each shows one that stayed on.
if ran busy-trigger-1; then
  off=$(section busy-watcher | sed -n 's/^off \([0-9.]*\)$/\1/p')
  for i in 1 2 3 4 5 6; do
    step=busy-trigger-$i
    expect_status $step 0
    [ -n "$(scanner_line $step TarvolinWEP AP)" ] &&
      fail "$step: showed TarvolinWEP, which was switched off before it"
    scanner_bss $step "TarvolinWPA2-é" 6 AP secured
    end=$(section $step | awk '$1 == "elapsed" {print $3}')
    [ -n "$off" ] && [ -n "$end" ] &&
      echo "measured: $step took $(elapsed_ms $step) ms, ended $(awk -v a="$off" -v b="$end" 'BEGIN {printf "%d", (b - a) * 1000}') ms after the switch-off"
  done
fi

on=$(field follow on at); appeared=$(field follow appeared at)
off=$(field follow off at); left=$(field follow left at)
if [ -z "$on" ] || [ -z "$appeared" ]; then
  fail "a network switched on never appeared in the read-out"
elif [ -z "$off" ] || [ -z "$left" ]; then
  fail "a network switched off never left the read-out"
else
  scans_on=$(( $(field follow appeared scans) - $(field follow on scans) ))
  scans_off=$(( $(field follow left scans) - $(field follow off scans) ))
  [ "$scans_on" -le 1 ] || fail "a network switched on appeared only after $scans_on completed scans"
  [ "$scans_off" -le 2 ] || fail "a network switched off left only after $scans_off completed scans"
  echo "measured: switched on -> in the read-out $((appeared - on)) ms ($scans_on scans completed meanwhile)"
  echo "measured: switched off -> out of the read-out $((left - off)) ms ($scans_off scans completed meanwhile)"
fi
active=$(section probe-trigger-again | sed -n 's/^completed in \([0-9]*\) ms.*/\1/p')
passive_start=$(section sweep-passive | sed -n 's/^passive-start \([0-9]*\)\.\([0-9]*\)$/\1\2/p')
passive_end=$(field sweep-passive completed at)
[ -n "$active" ] && echo "measured: one active sweep (wildcard SSID) $active ms"

# Watches read each scan as it ends. Without permission: what the adapter
# holds, then one reading per scan another program started, the last one no
# sooner than the second of those began.
if ran watch-others; then
  read -r _ others_status _ others_end <<<"$(section watch-others | grep '^status ')"
  [ "$others_status" = 0 ] || fail "watch-others: the watch ended with status '${others_status:-none}'"
  [ "$(section watch-others | grep -c '^tarvolin-scan: watching without starting scans; ')" = 1 ] ||
    fail "watch-others: did not say once that it watches without starting scans"
  section watch-others | grep -F '"scan":0,"event":"new"' | grep -qF '"ssid":"TarvolinOpen"' ||
    fail "watch-others: what the adapter held was not shown first"
  last_scan=$(section watch-others | sed -n 's/^others-scan \([0-9.]*\)$/\1/p' | tail -n1)
  if [ -z "$last_scan" ] || [ -z "$others_end" ] ||
    ! awk -v a="$others_end" -v b="$last_scan" 'BEGIN {exit !(a >= b)}'; then
    fail "watch-others: three readings ended at ${others_end:-?}, before the second scan of another program began at ${last_scan:-?}"
  else
    echo "measured: a watch without permission read its third scan $(awk -v a="$others_end" -v b="$last_scan" 'BEGIN {printf "%d", (a - b) * 1000}') ms after another program started it"
  fi
fi
# A fresh radio: four back-to-back scans, each read as it ends, take about
# four sweeps, and the first already shows the networks.
if ran watch-fresh; then
  expect_status watch-fresh 0
  for ssid in TarvolinOpen Tarvolin5GHz TarvolinVHT80; do
    section watch-fresh | grep -F '"scan":0,"event":"new"' | grep -qF "\"ssid\":\"$ssid\"" ||
      fail "watch-fresh: '$ssid' was not in the first scan of a radio that had never scanned"
  done
  took=$(elapsed_ms watch-fresh)
  if [ -n "$active" ] && [ "${took:-0}" -lt $((2 * active)) ]; then
    fail "watch-fresh: four scans took ${took:-?} ms, less than two sweeps of $active ms"
  fi
  echo "measured: --watch --interval 0 --count 4 on a fresh radio took ${took:-?} ms (one active sweep ${active:-?} ms)"
fi
# A request refused while the interface was down is told once and made again.
if ran watch-down; then
  section watch-down | grep -qx "status 0" || fail "watch-down: $(section watch-down | grep '^status')"
  [ "$(section watch-down | grep -cx 'tarvolin-scan: cannot start a scan on wlan13: the interface is down; asking again')" = 1 ] ||
    fail "watch-down: the refusal while down was not told exactly once"
  section watch-down | grep -q '"scan":0,"event":"new"' || fail "watch-down: nothing was read once the interface was up"
fi
# --follow on a network the kernel holds starts with a scan of its channel.
if ran follow-held; then
  expect_status follow-held 0
  [ "$(section follow-held | grep -c '^{')" = 1 ] || fail "follow-held: not one reading"
  took=$(elapsed_ms follow-held)
  if [ -n "$active" ] && [ "${took:-0}" -ge "$active" ]; then
    fail "follow-held: the first reading took ${took:-?} ms, as long as a sweep of $active ms"
  fi
  echo "measured: --follow on a network the kernel holds: first reading after ${took:-?} ms (one active sweep ${active:-?} ms)"
fi
if [ -n "$passive_start" ] && [ -n "$passive_end" ]; then
  echo "measured: one passive sweep $((passive_end - 10#$passive_start * 10)) ms"
else
  fail "the passive sweep was not measured"
fi

# A scan of 2412 MHz alone drops the network switched off there and keeps
# every network on the frequencies it did not visit.
if ran partial-scan; then
  grep -q "^completed" <<<"$(section partial-scan)" || fail "the partial scan did not complete"
  section partial-scan | awk -F'\t' '$7 == "TarvolinOpen"' | grep -q . &&
    fail "the network switched off on 2412 MHz stayed after a scan of 2412 MHz"
  for ssid in 'TarvolinWPA2-\xc3\xa9' Tarvolin5GHz TarvolinAdhoc; do
    section partial-scan | SSID=$ssid awk -F'\t' '$7 == ENVIRON["SSID"]' | grep -q . ||
      fail "'$ssid' left the read-out after a scan that did not visit its frequency"
  done
fi

# The catalogue the program builds from the real kernel: each network's
# frequency, width, security and 802.1X as hostapd set them up.
catalogue_bss() {
  local ssid=$1 wanted="$2 $3 $4 $5" line f w s e
  line=$(section catalogue | SSID=$ssid awk -F'\t' '$8 == ENVIRON["SSID"]' | head -n1)
  if [ -z "$line" ]; then
    fail "the catalogue has no '$ssid'"
    return
  fi
  IFS=$'\t' read -r _ f _ w s e _ <<<"$line"
  [ "$f $w $s $e" = "$wanted" ] || fail "catalogue '$ssid': '$f $w $s $e' (MHz, width, security, 802.1X), expected '$wanted'"
}
if ran catalogue; then
  expect_status catalogue 0
  catalogue_bss TarvolinOpen 2412 20 open 0
  catalogue_bss 'TarvolinWPA2-é' 2437 20 wpa2 0
  catalogue_bss TarvolinWEP 2412 20 wep 0
  catalogue_bss TarvolinSAE 5220 40 wpa3 0
  catalogue_bss TarvolinMixed 2437 20 wpa3 0
  catalogue_bss TarvolinOWE 2462 20 owe 0
  catalogue_bss TarvolinEAP 2462 20 wpa2 1
  catalogue_bss TarvolinVHT80 5180 80 open 0
  catalogue_bss Tarvolin5GHz 5180 20 open 0
else
  fail "the program's catalogue was not read on the test machine"
fi

# Following one network: scans of its channel alone against full sweeps.
# follow_stats STEP prints "readings heard first_ms last_ms mean_duration_ms"
# from the JSON lines of a --follow run.
follow_stats() {
  section "$1" | grep '^{' | awk '
    match($0, /T[0-9][0-9]:[0-9][0-9]:[0-9][0-9]\.[0-9][0-9][0-9]Z/) {
      t = substr($0, RSTART + 1, 12)
      ms = ((substr(t, 1, 2) * 60 + substr(t, 4, 2)) * 60 + substr(t, 7, 2)) * 1000 + substr(t, 10, 3)
      if (n == 0) first = ms
      last = ms; n++
      if ($0 !~ /"signal_dbm":null/) heard++
      if (match($0, /"duration_ms":[0-9]+/)) total += substr($0, RSTART + 14, RLENGTH - 14)
    }
    END { if (n) printf "%d %d %d %d %d\n", n, heard, first, last, total / n }'
}
if ran follow-active; then
  expect_status follow-active 0
  read -r n heard first last mean <<<"$(follow_stats follow-active)"
  sweeps=$(section follow-sweeps | sed -n 's/^completed in \([0-9]*\) ms.*/\1/p' | awk '{t += $1; n++} END {if (n) printf "%d", t / n}')
  if [ "${n:-0}" -ne 20 ] || [ -z "$sweeps" ] || [ "$last" -le "$first" ]; then
    fail "follow-active: ${n:-no} readings, sweeps '${sweeps}'"
  else
    [ "$heard" -ge 16 ] || fail "follow-active: the network was heard in only $heard of 20 scans of its channel"
    # Readings a second, in hundredths, both ways.
    follow_rate=$(( (n - 1) * 100000 / (last - first) ))
    sweep_rate=$(( 100000 / sweeps ))
    echo "measured: --follow (active, one channel): $n readings in $((last - first)) ms, $((follow_rate / 100)).$(printf %02d $((follow_rate % 100))) a second, each scan $mean ms; heard in $heard"
    echo "measured: full active sweeps: $sweeps ms each, $((sweep_rate / 100)).$(printf %02d $((sweep_rate % 100))) a second; ratio $((follow_rate / sweep_rate))x"
    [ "$follow_rate" -ge 400 ] || fail "follow-active: fewer than 4 readings a second"
    [ "$follow_rate" -ge $((10 * sweep_rate)) ] || fail "follow-active: fewer than 10 times the readings of full sweeps"
  fi
  start=$(section follow-passive-channel | sed -n 's/^passive-start \([0-9]*\)\.\([0-9]*\)$/\1\2/p')
  end=$(field follow-passive-channel completed at)
  [ -n "$start" ] && [ -n "$end" ] &&
    echo "measured: one passive scan of one channel (iw) $((end - 10#$start * 10)) ms; one passive sweep above"
  # The reader beside it never lost a network the scans did not visit.
  for ssid in Tarvolin5GHz TarvolinSAE TarvolinVHT80 TarvolinEAP TarvolinOWE; do
    section follow-watch | grep "\"ssid\":\"$ssid\"" | grep -q '"event":"new"' ||
      fail "follow-watch: $ssid was never listed"
    section follow-watch | grep "\"ssid\":\"$ssid\"" | grep -q '"event":"gone"' &&
      fail "follow-watch: $ssid left the list during scans of another channel"
  done
fi
if ran follow-off; then
  after=$(section follow-off | sed -n '/^switched off/,$p' | grep '^{' | awk '/"signal_dbm":null/ {print NR; exit}')
  if [ -z "$after" ]; then
    fail "follow-off: a network switched off never showed as missed"
  else
    [ "$after" -le 2 ] || fail "follow-off: a network switched off showed as missed only at the $after. scan after"
    echo "measured: switched off -> missed at the ${after}. scan of its channel after"
  fi
fi
if ran follow-helper; then
  expect_status follow-helper 0
  [ "$(section follow-helper-caps | head -n1)" = 1000 ] || fail "follow-helper: not run as user 1000"
  section follow-helper-caps | grep -E "^Cap(Prm|Eff)" | grep -vq "0000000000000000$" &&
    fail "follow-helper: the user had capabilities"
  read -r n heard first last mean <<<"$(follow_stats follow-helper)"
  if [ "${n:-0}" -ne 10 ] || [ "$last" -le "$first" ]; then
    fail "follow-helper: ${n:-no} readings through the helper"
  else
    echo "measured: --follow through tarvolin-trigger as a user: $n readings in $((last - first)) ms, each scan $mean ms; heard in $heard"
  fi
  expect_status trigger-frequency 0
  expect_status trigger-no-channel 9
fi

report
