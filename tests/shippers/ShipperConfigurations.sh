#!/usr/bin/env bash
# The shipped rsyslog and lnav configurations, run with the real programs on
# the log of the example application: rsyslogd (in the foreground, with a
# work directory of its own and no system socket) must give one JSON record
# per message with its level, time, method and body, and lnav must count the
# messages per level as the file has them.
# Usage: ShipperConfigurations.sh EXAMPLE CONTRIB_DIR WORK_DIR
set -euo pipefail
example=$1
contrib=$2
work=$3
rm -rf "$work"
mkdir -p "$work/config" "$work/logs" "$work/rsyslog" "$work/home"

printf 'kiv.logging.status=on\nkiv.log.loggers=plain.file\nkiv.log.dir=%s\n' "$work/logs" \
  > "$work/config/kiv.system.properties"
KIV_SYS_CONFIG_DIR="$work/config" "$example" > /dev/null
log=$(ls "$work"/logs/kiv.log_*.log)
head_pattern='^\(U\) (DEBUG|INFO|WARN|ERROR|FATAL) \[([0-9/]+ [0-9:]+)\] (.*):$'
expected=$(grep -E "$head_pattern" "$log" | sed -E "s#$head_pattern#\1|\2|\3#" | sort)
count=$(printf '%s\n' "$expected" | wc -l)
[ "$count" -gt 0 ] || { echo "the example logged nothing"; exit 1; }

echo "-- rsyslog"
sed -e "s#/var/log/kivlogging/kiv.log_\*.log#$work/logs/kiv.log_*.log#" \
    -e "s#/var/log/kivlogging/messages.json#$work/rsyslog/messages.json#" \
    "$contrib/rsyslog/kivlogging.conf" > "$work/rsyslog/kivlogging.conf"
printf 'global(workDirectory="%s")\ninclude(file="%s")\n' "$work/rsyslog" \
  "$work/rsyslog/kivlogging.conf" > "$work/rsyslog/rsyslog.conf"
rsyslogd -n -f "$work/rsyslog/rsyslog.conf" -i "$work/rsyslog/rsyslogd.pid" < /dev/null > /dev/null 2>&1 &
rsyslogd=$!
trap 'kill "$rsyslogd" 2> /dev/null || true' EXIT
records=0
for _ in $(seq 60); do
  [ -f "$work/rsyslog/messages.json" ] && records=$(wc -l < "$work/rsyslog/messages.json")
  [ "$records" -ge "$count" ] && break
  sleep 0.5
done
# A record too many would show within the read timeout.
sleep 3
kill "$rsyslogd"
wait "$rsyslogd" || true
trap - EXIT
field() { sed -E "s#.*\"$1\":\"(([^\"\\\\]|\\\\.)*)\".*#\\1#; s#\\\\/#/#g"; }
got=$(while IFS= read -r record; do
  printf '%s|%s|%s\n' "$(field level <<< "$record")" "$(field time <<< "$record")" \
    "$(field method <<< "$record")"
done < "$work/rsyslog/messages.json" | sort)
if [ "$got" != "$expected" ]; then
  printf 'rsyslog records:\n%s\nexpected:\n%s\n' "$got" "$expected"; exit 1
fi
grep -q '"body":"(U) order 1001 accepted"' "$work/rsyslog/messages.json"

echo "-- lnav"
export HOME="$work/home"
lnav -i "$contrib/lnav/kivlogging.json" > /dev/null 2>&1
counts=$(lnav -n -c ";SELECT log_level, count(*) FROM kivlogging_log WHERE log_level != 'unknown' GROUP BY log_level" "$log")
for level in DEBUG INFO WARN ERROR FATAL; do
  want=$(printf '%s\n' "$expected" | grep -c "^$level|" || true)
  name=$(tr 'A-Z' 'a-z' <<< "$level" | sed 's/^warn$/warning/')
  have=$(awk -v level="$name" '$1 == level { print $2 }' <<< "$counts")
  if [ "${have:-0}" != "$want" ]; then
    printf 'lnav counted %s %s, the file has %s:\n%s\n' "${have:-0}" "$level" "$want" "$counts"; exit 1
  fi
done
echo "rsyslog and lnav read all $count messages"
