# Sourced by the shell-script tests: a scratch folder ($work) removed at the end, failures counted
# by `fail`, and the verdict.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The last line of a test: exits 1 when a check failed, otherwise prints the given line.
checks_done() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "$1"
}
