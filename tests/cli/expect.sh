#!/usr/bin/env bash
# expect.sh CODE PATTERN COMMAND...: runs COMMAND (no standard input) and
# passes when it exits with CODE and its output (stdout and stderr) matches
# the extended regular expression PATTERN.
set -u
want_code=$1 pattern=$2
shift 2
output=$("$@" 2>&1 </dev/null)
code=$?
if [[ $code -ne $want_code ]]; then
  printf 'exit status %d, expected %d\n--- output ---\n%s\n' "$code" "$want_code" "$output"
  exit 1
fi
if ! grep -Eq -- "$pattern" <<<"$output"; then
  printf 'output does not match /%s/\n--- output ---\n%s\n' "$pattern" "$output"
  exit 1
fi
echo "ok: exit $code, output matches /$pattern/"
