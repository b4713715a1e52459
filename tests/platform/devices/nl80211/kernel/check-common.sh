# Sourced by the check scripts: reading the framed steps of a console log
# ($log) and counting failed checks.
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The output of one framed step, and its exit status.
section() { awk -v name="$1" '$0 == "@@ BEGIN " name {on = 1; next} on && $0 ~ "^@@ END " name " " {exit} on' "$log"; }
status() { sed -n "s/^@@ END $1 \([0-9]*\)$/\1/p" "$log"; }

# Ends the check: on any failure prints the machine's console and exits 1.
report() {
  if [ $failures -ne 0 ]; then
    echo "---- console of the test machine ----"
    cat "$log"
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
