#!/usr/bin/env bash
# The shipped rsyslog and lnav configurations, run with the real programs on
# the log of the example application: rsyslogd (in the foreground, with a
# work directory of its own and no system socket) must give one JSON record
# per message with its level, ISO 8601 time, method and body; lnav must count
# the messages per level as the file has them, read the method, level and
# body of multi-line messages, and, through kivlog, show both files of two
# processes started in the same second and read the times of --utc. A copy of
# the log with CR LF line ends, and a message of several lines, must ship
# with the same fields as the log.
# Usage: ShipperConfigurations.sh EXAMPLE KIVLOG CONTRIB_DIR WORK_DIR
set -euo pipefail
example=$1
kivlog=$2
contrib=$3
work=$4
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

# The copy is named as a second file of the same second.
crlf="$work/logs/$(basename "$log" .log)_2.log"
{ cat "$log"; printf '\n(U) WARN [2024/03/05 07:08:09] A::Lines:\n(U) first\nsecond\n\n'; } | sed 's/$/\r/' > "$crlf"

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
  [ "$records" -gt $((2 * count)) ] && break
  sleep 0.5
done
# A record too many would show within the read timeout.
sleep 3
kill "$rsyslogd"
wait "$rsyslogd" || true
trap - EXIT
field() { sed -E "s#.*\"$1\":\"(([^\"\\\\]|\\\\.)*)\".*#\\1#; s#\\\\/#/#g"; }
# level|time|method|body of the records of one file.
shipped() {
  while IFS= read -r record; do
    [ "$(field file <<< "$record")" = "$1" ] || continue
    printf '%s|%s|%s|%s\n' "$(field level <<< "$record")" "$(field time <<< "$record")" \
      "$(field method <<< "$record")" "$(field body <<< "$record")"
  done < "$work/rsyslog/messages.json" | sort
}
lf=$(shipped "$log")
got=$(cut -d '|' -f 1-3 <<< "$lf")
iso=$(sed -E 's#\|([0-9]{4})/([0-9]{2})/([0-9]{2}) #|\1-\2-\3T#' <<< "$expected")
if [ "$got" != "$iso" ]; then
  printf 'rsyslog records:\n%s\nexpected:\n%s\n' "$got" "$iso"; exit 1
fi
grep -q '"body":"(U) order 1001 accepted"' "$work/rsyslog/messages.json"
# No CR of a line end is left in a field.
want=$(printf '%s\n%s' "$lf" 'WARN|2024-03-05T07:08:09|A::Lines|(U) first\nsecond' | sort)
if [ "$(shipped "$crlf")" != "$want" ]; then
  printf 'rsyslog records of the CR LF file:\n%s\nexpected:\n%s\n' "$(shipped "$crlf")" "$want"; exit 1
fi

echo "-- lnav"
export HOME="$work/home"
lnav -i "$contrib/lnav/kivlogging.json" > /dev/null 2>&1
# The values of a query, without lnav's header line.
query() { lnav -n -c ";$1" "${@:2}" | tail -n +2 | tr -s ' ' | sed -E 's/^ //; s/ $//'; }
# The banner's lines have no level: lnav shows them as 'unknown' lines.
counts=$(query "SELECT log_level, count(*) FROM kivlogging_log WHERE log_level != 'unknown' GROUP BY log_level" "$log")
for level in DEBUG INFO WARN ERROR FATAL; do
  want=$(printf '%s\n' "$expected" | grep -c "^$level|" || true)
  name=$(tr 'A-Z' 'a-z' <<< "$level" | sed 's/^warn$/warning/')
  have=$(awk -v level="$name" '$1 == level { print $2 }' <<< "$counts")
  if [ "${have:-0}" != "$want" ]; then
    printf 'lnav counted %s %s, the file has %s:\n%s\n' "${have:-0}" "$level" "$want" "$counts"; exit 1
  fi
done

# Two processes started in the same second: the same banner and first
# message, then messages of several lines.
stamp=$(sed -nE 's/^DATE: \[([0-9/]+ [0-9:]+)\] $/\1/p' "$log")
name=$(basename "$log" .log)
mkdir -p "$work/same"
message() { printf '\n(U) %s [%s] %s:\n(U) %s\nsecond line of %s\n\n' "$1" "$stamp" "$2" "$2" "$2"; }
{ head -n 12 "$log"; message INFO A::One; message ERROR A::Two; message WARN A::Three; } > "$work/same/$name.log"
{ head -n 12 "$log"; message INFO B::One; message DEBUG B::Two; } > "$work/same/${name}_2.log"
# Read alone, a file gives each message's method, level and whole body.
bodies=$(query "SELECT method, log_level, count(*) FROM kivlogging_log WHERE log_level != 'unknown' AND log_body = '(U) ' || method || char(10) || 'second line of ' || method GROUP BY method" "$work/same/$name.log")
if [ "$bodies" != "$(printf 'A::One info 1\nA::Three warning 1\nA::Two error 1')" ]; then
  printf 'lnav read these methods, levels and bodies:\n%s\n' "$bodies"; exit 1
fi
# lnav shows only one of the two files, taking the other for a copy; read
# through kivlog, both show, with every method.
files=$("$kivlog" --json "$work/same" | query "SELECT file, count(*) FROM kivlogging_json GROUP BY file")
if [ "$files" != "$(printf '%s 4\n%s 3' "$work/same/$name.log" "$work/same/${name}_2.log")" ]; then
  printf 'lnav counted per file, through kivlog:\n%s\n' "$files"; exit 1
fi
methods=$("$kivlog" --json "$work/same" | query "SELECT method FROM kivlogging_json WHERE method LIKE '_::%' ORDER BY method")
if [ "$methods" != "$(printf 'A::One\nA::Three\nA::Two\nB::One\nB::Two')" ]; then
  printf 'lnav read these methods through kivlog:\n%s\n' "$methods"; exit 1
fi
# --utc times end in Z: lnav takes them for the UTC times they are.
utc=$(date -u -d "$(tr / - <<< "$stamp") +0900" '+%Y-%m-%d %H:%M:%S.000')
times=$(TZ=JST-9 "$kivlog" --json --utc "$work/same" |
  query "SELECT DISTINCT log_time FROM kivlogging_json WHERE method LIKE '_::%'")
if [ "$times" != "$utc" ]; then
  printf 'lnav read these times of kivlog --utc, not %s:\n%s\n' "$utc" "$times"; exit 1
fi
echo "rsyslog and lnav read all $count messages"
