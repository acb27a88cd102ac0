#!/bin/sh
# Runs the command with a systemd journal to write to. Where none answers,
# starts systemd-journald (only as root), waits for its socket, and stops
# that journald, by its process id, when the command is done; a journald
# that was running already is left alone. Exits 77 (skipped) when there is
# no journal and none can be started.
#
# Usage: WithJournald.sh DOCTOR WORKDIR COMMAND [ARGUMENT...]
set -u
doctor=$1 workdir=$2
shift 2

mkdir -p "$workdir"
properties="$workdir/journal.properties"
printf 'kiv.logging.status=on\nkiv.log.loggers=journal\n' > "$properties"
answers() {
  "$doctor" --file "$properties" 2>/dev/null | grep -q '^  journal: journal log: '
}

started=""
if ! answers; then
  journald=/lib/systemd/systemd-journald
  if [ "$(id -u)" != 0 ] || [ ! -x "$journald" ]; then
    echo "no systemd journal answers, and none can be started here (needs root and $journald)"
    exit 77
  fi
  "$journald" > "$workdir/journald.log" 2>&1 < /dev/null &
  started=$!
  tries=0
  until answers; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$started" 2>/dev/null; then
      echo "systemd-journald did not come up:"
      cat "$workdir/journald.log"
      kill "$started" 2>/dev/null
      exit 1
    fi
    sleep 0.1
  done
fi

KIVLOG_TEST_JOURNALD=1 "$@"
status=$?
if [ -n "$started" ]; then
  kill "$started"
  wait "$started" 2>/dev/null
fi
exit "$status"
