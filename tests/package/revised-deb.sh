#!/usr/bin/env bash
# revised-deb.sh PACKAGE.deb FOLDER: writes into FOLDER the same package as a
# later version ("+revised") whose "daily.rpt" was revised, so that an upgrade
# can be tried: a definition nobody changed is brought up to date, one a user
# changed is kept, and the database is left as it is.
set -euo pipefail
deb=$1
folder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb --raw-extract "$deb" "$work/tree"
version=$(dpkg-deb --field "$deb" Version)
sed -i "s/^Version: .*/Version: $version+revised/" "$work/tree/DEBIAN/control"
sed -i 's/"title": "Calls Today"/"title": "Calls Today, revised"/' \
  "$work/tree/usr/share/tarrowby-stopwell/reports/daily.rpt"
grep -q '"Calls Today, revised"' "$work/tree/usr/share/tarrowby-stopwell/reports/daily.rpt"
# The md5sums must match the revised file, or dpkg --verify would see damage.
(cd "$work/tree" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$work/tree" "$folder/revised.deb" >/dev/null
