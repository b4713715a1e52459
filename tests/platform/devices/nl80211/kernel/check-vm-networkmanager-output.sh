#!/usr/bin/env bash
# Checks the console log of the NetworkManager test machine: a user without
# any capability started a scan through NetworkManager and saw the access
# point switched on after NetworkManager started.
#
#   check-vm-networkmanager-output.sh CONSOLE_LOG
set -uo pipefail
log=$1
# shellcheck source=check-common.sh
. "$(dirname "$0")/check-common.sh"

grep -q "^@@ DONE" "$log" || fail "the machine did not finish its script"
section nm-devices | grep -qx "wlan5:wifi:disconnected" || fail "NetworkManager does not manage the scanner's radio"
[ "$(section user-caps | head -n1)" = 1000 ] || fail "the scan did not run as user 1000"
section user-caps | grep -E "^Cap" | grep -vq "0000000000000000$" && fail "the user still had capabilities"
[ "$(status scan-user-nm)" = 0 ] || fail "the scan without privilege failed: $(section scan-user-nm | head -n1)"
section scan-user-nm | awk -F'\t' '$6 == "TarvolinLate"' | grep -q . ||
  fail "the scan without privilege did not show the access point switched on after NetworkManager started"
section scan-user-nm | grep -q "did not complete" && fail "the scan NetworkManager started did not complete in time"

# --follow through NetworkManager: sweeps of every channel, each a reading.
[ "$(status follow-nm)" = 0 ] || fail "--follow through NetworkManager failed: $(section follow-nm | tail -n1)"
[ "$(section follow-nm | grep -c '"signal_dbm":-')" = 2 ] || fail "--follow through NetworkManager: not two readings"
section follow-nm | grep '^{' | sed -n 's/.*"duration_ms":\([0-9]*\).*/measured: a scan for --follow through NetworkManager took \1 ms/p'

report
