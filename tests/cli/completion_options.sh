#!/bin/sh
# Every option that a shell completion offers is one that twbkf takes, and
# every option that twbkf takes is offered by each of them.
#   completion_options.sh TWBKF COMPLETION...
set -eu
twbkf=$1
shift
known=$( { "$twbkf" --help; for command in scan list extract verify; do "$twbkf" "$command" --help; done; } |
         grep -oE -- '--[a-z][a-z-]*' | sort -u)
status=0
for completion in "$@"; do
  # fish names a long option "-l name".
  offered=$( { grep -oE -- '--[a-z][a-z-]*' "$completion" || true; grep -v '^set ' "$completion" | grep -oE -- '-l [a-z][a-z-]*' | sed 's/^-l /--/'; } |
             sort -u)
  for option in $offered; do
    echo "$known" | grep -qx -- "$option" || { echo "$completion offers $option, which twbkf does not take"; status=1; }
  done
  for option in $known; do
    echo "$offered" | grep -qx -- "$option" || { echo "$completion does not offer $option"; status=1; }
  done
done
exit $status
