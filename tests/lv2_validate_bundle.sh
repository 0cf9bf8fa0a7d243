#!/bin/sh
# Checks a bundle's Turtle against the LV2 schemas installed in /usr/lib/lv2
# (lv2_validate runs sord_validate over them and the given files) and fails
# on any finding, error or warning.
bundle="$1"
out=$(lv2_validate "$bundle"/*.ttl 2>&1)
status=$?
printf '%s\n' "$out" | grep -v '^Skipping'
[ "$status" -eq 0 ] || exit 1
! printf '%s\n' "$out" | grep -qE '^(error|warning)'
