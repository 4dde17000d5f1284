#!/bin/sh
# Every option that twbkf takes is described in its manual page and in the
# manual's section on it, so that neither falls behind the program.
#   documented_options.sh TWBKF MANPAGE MANUAL
set -eu
twbkf=$1 manpage=$2 manual=$3
known=$( { "$twbkf" --help; for command in scan list extract verify; do "$twbkf" "$command" --help; done; } |
         grep -oE -- '--[a-z][a-z-]*' | grep -vx -- '--help' | sort -u)
# roff writes a hyphen as \-; the manual's section on twbkf ends where the next begins.
page=$(sed 's/\\-/-/g' "$manpage")
section=$(sed -n '/id="command-line"/,/id="troubleshooting"/p' "$manual")
status=0
for option in $known; do
  printf "%s\n" "$page" | grep -q -- "$option\b" || { echo "$manpage does not describe $option"; status=1; }
  printf "%s\n" "$section" | grep -q -- "$option\b" || { echo "$manual does not describe $option"; status=1; }
done
exit $status
