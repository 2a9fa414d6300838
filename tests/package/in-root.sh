#!/bin/bash
# in-root.sh PACKAGE.deb: run as root inside a brand-new minimal Debian 12 root
# (scripts/package-check.sh makes one). Installs the package with apt as a
# centre's PC gets it, then, on a virtual X display:
#   - alice starts the program from its desktop entry's command, compacts the
#     database and logs a call; bob, another user of the PC, logs one too, into
#     the database alice compacted and through the journal alice's save made;
#   - both calls are read back with sqlite3 from the log's documented folder;
#   - an upgrade keeps the log and a report definition a user changed, and
#     brings one nobody changed up to date;
#   - removing and then purging the package keep the log.
# revised.deb, the later version the upgrade installs, lies beside this script.
set -euo pipefail
deb=$1
here=$(cd "$(dirname "$0")" && pwd)
folder=/var/lib/tarrowby-stopwell
db=$folder/Zuvevadu.mdb
delivered=/usr/share/tarrowby-stopwell
export DEBIAN_FRONTEND=noninteractive
export SHOTS=$here/shots FRAMEBUFFER=$here/fb/Xvfb_screen0 DISPLAY=:7
mkdir -p "$SHOTS" "$here/fb"
# shellcheck source=tests/package/drive.sh
source "$here/drive.sh"

xvfb=
finish() {
  local status=$?
  [ -z "$program" ] || kill "$program" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  if [ "$status" -ne 0 ]; then
    for log in "$SHOTS"/*-program.log; do [ -s "$log" ] && { echo "--- $log"; cat "$log"; }; done
  fi
  exit "$status"
}
trap finish EXIT

started=$SECONDS
step() { printf '\n-- %s (%ds)\n' "$*" $((SECONDS - started)); }
expect() { # expect WHAT ACTUAL WANTED
  [ "$2" = "$3" ] || fail "$1: found \"$2\", expected \"$3\""
  echo "ok: $1: $2"
}
sql() { sqlite3 -batch -noheader "$db" "$1"; }

step "apt install $(basename "$deb")"
apt-get update -qq
apt-get install -y -q "$deb" >"$here/apt-install.log" 2>&1 || { cat "$here/apt-install.log"; fail "apt install"; }
grep -E "^(Setting up tarrowby|Keeping)" "$here/apt-install.log" || true

step "What the installation put in place"
expect "stopwell on the PATH" "$(command -v stopwell || true)" /usr/bin/stopwell
expect "the log's folder" "$(stat -c '%a %U %G' "$folder")" "2775 root stopwell"
expect "the delivered database" "$(stat -c '%a %U %G' "$db")" "664 root stopwell"
cmp -s "$db" "$delivered/Zuvevadu.mdb" || fail "the database in $folder is not the delivered one"
reports=$(find "$delivered/reports" -name '*.rpt' | wc -l)
expect "report definitions delivered" "$(find "$folder" -maxdepth 1 -name '*.rpt' | wc -l)" "$reports"
expect "the help" "$(readlink "$folder/Stopwell.html")" "$delivered/Stopwell.html"
DESKTOP_ENTRY=$(ls /usr/share/applications/*.desktop)
icon=$(sed -n 's/^Icon=//p' "$DESKTOP_ENTRY")
for size in scalable/apps/$icon.svg 16x16/apps/$icon.png 48x48/apps/$icon.png 256x256/apps/$icon.png; do
  [ -f "/usr/share/icons/hicolor/$size" ] || fail "no icon /usr/share/icons/hicolor/$size"
done
[ -f /usr/share/man/man1/stopwell.1.gz ] || fail "no manual page"
echo "ok: desktop entry $DESKTOP_ENTRY, icon $icon, manual page"

step "Tools for the check: a virtual X display, xdotool, sqlite3"
apt-get install -y -q --no-install-recommends xvfb xdotool sqlite3 >"$here/apt-tools.log" 2>&1 ||
  { cat "$here/apt-tools.log"; fail "installing the check's tools"; }
for user in alice bob; do useradd --create-home --groups stopwell "$user"; done
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -ac -fbdir "$here/fb" >"$here/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -S /tmp/.X11-unix/X7 ] && break; sleep 0.1; done
[ -S /tmp/.X11-unix/X7 ] || fail "the virtual X display did not start"

calls_before=$(sql "SELECT count(*) FROM DData")
call_text=$(sql "SELECT C1 FROM Calls")
today=$(date +%F)

step "alice starts the program from the menu's command, compacts the database and logs a call"
start_program alice
shot main-menu
compact_database
expect "the compacted database" "$(stat -c '%a %U %G' "$db")" "664 alice stopwell"
log_call Alice 7
exit_program
expect "the journal alice's save left" "$(stat -c '%a %U %G' "$db-journal")" "664 alice stopwell"

step "bob, another user of the PC, logs a call into the same log"
start_program bob
log_call Bob 8
exit_program

step "The calls, read back with sqlite3 from $db"
expect "calls stored" "$(sql "SELECT count(*) FROM DData")" $((calls_before + 2))
expect "alice's call" "$(sql "SELECT DateNow, LaneNo, callmade, Name1 FROM DData WHERE LaneNo = 7" | tr '\n' ';')" \
  "$today|7|$call_text|Alice;"
expect "bob's call" "$(sql "SELECT DateNow, LaneNo, callmade, Name1 FROM DData WHERE LaneNo = 8" | tr '\n' ';')" \
  "$today|8|$call_text|Bob;"
expect "the database's check" "$(sql "PRAGMA integrity_check")" ok

step "Upgrade to a later version that revised daily.rpt, after alice changed weekly.rpt"
runuser -u alice -- sed -i 's/"title": "[^"]*"/"title": "Our own weekly list"/' "$folder/weekly.rpt"
log_sum=$(sha256sum <"$db")
apt-get install -y -q "$here/revised.deb" >"$here/apt-upgrade.log" 2>&1 || { cat "$here/apt-upgrade.log"; fail "upgrade"; }
grep -E "^(Setting up tarrowby|Keeping)" "$here/apt-upgrade.log" || true
expect "the installed version" "$(dpkg-query -W -f='${Version}' tarrowby-stopwell)" \
  "$(dpkg-deb --field "$deb" Version)+revised"
expect "the log after the upgrade" "$(sha256sum <"$db")" "$log_sum"
grep -q '"title": "Our own weekly list"' "$folder/weekly.rpt" || fail "the upgrade replaced the changed weekly.rpt"
grep -q '"title": "Calls Today, revised"' "$folder/daily.rpt" || fail "the upgrade did not bring daily.rpt up to date"
echo "ok: weekly.rpt kept as alice changed it, daily.rpt revised"

step "bob starts the upgraded program: the main menu"
start_program bob
shot upgraded-main-menu
exit_program

step "apt remove, then apt purge: the log stays"
for action in remove purge; do
  apt-get "$action" -y -q tarrowby-stopwell >"$here/apt-$action.log" 2>&1 || { cat "$here/apt-$action.log"; fail "$action"; }
  [ -z "$(command -v stopwell || true)" ] || fail "stopwell is still on the PATH after $action"
  expect "the log after $action" "$(sha256sum <"$db")" "$log_sum"
  expect "calls after $action" "$(sql "SELECT count(*) FROM DData WHERE Name1 IN ('Alice', 'Bob')")" 2
  expect "report definitions after $action" "$(find "$folder" -maxdepth 1 -name '*.rpt' | wc -l)" "$reports"
  grep -q '"title": "Our own weekly list"' "$folder/weekly.rpt" || fail "weekly.rpt changed on $action"
  getent group stopwell >/dev/null || fail "the group stopwell went with $action"
done
step "All checks passed"
