#!/usr/bin/env bash
# Builds the Debian package and checks it the way a centre's PC gets it:
#   1. builds tarrowby-stopwell_VERSION_amd64.deb (cmake --build build --target package);
#   2. lintian, desktop-file-validate and appstreamcli validate on what it holds;
#   3. installs it with apt into a brand-new minimal Debian 12 root (debootstrap),
#      logs calls through the installed program as two users of the PC, upgrades
#      it, removes and purges it, and checks the log in its folder after each step
#      (tests/package/in-root.sh does that part, inside the root).
# Run as root on Debian 12 (CI runs it after the suite). Pictures of the screens
# the check saw are left in build/package-check/.
# The minimal root is made once and kept as a tarball (STOPWELL_DEBIAN_BASE,
# default /tmp/fresh-bookworm.tar); each run unpacks a fresh copy of it.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
OUT="$BUILD/package-check"
BASE="${STOPWELL_DEBIAN_BASE:-/tmp/fresh-bookworm.tar}"
started=$SECONDS

step() { printf '\n== %s (%ds)\n' "$*" $((SECONDS - started)); }
fail() { echo "package check FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "run it as root: it installs packages and enters a Debian root with chroot"

step "Installing the packaging tools that are missing"
TOOLS=(dpkg-dev file lintian desktop-file-utils appstream debootstrap imagemagick)
missing=()
for tool in "${TOOLS[@]}"; do
  dpkg-query -W -f='${Status}' "$tool" 2>/dev/null | grep -q "install ok installed" || missing+=("$tool")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

step "Building the package"
"$ROOT/scripts/setup.sh" default
rm -f "$BUILD"/tarrowby-stopwell_*.deb
cmake --build "$BUILD" --target package --parallel "$(nproc)" >"$BUILD/package.log" 2>&1 ||
  { cat "$BUILD/package.log"; fail "the package did not build"; }
debs=("$BUILD"/tarrowby-stopwell_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no tarrowby-stopwell_VERSION_amd64.deb in $BUILD"
deb="${debs[0]}"
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"
dpkg-deb --field "$deb" Depends

step "Checking what the package holds"
rm -rf "$OUT" && mkdir -p "$OUT/contents"
dpkg-deb --extract "$deb" "$OUT/contents"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian found errors or warnings"
desktop-file-validate "$OUT"/contents/usr/share/applications/*.desktop || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$OUT"/contents/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream metainfo is not valid"

step "Making a fresh Debian 12 root"
if [ ! -f "$BASE" ]; then
  # The root gets its packages from the mirror this machine's apt uses.
  mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=$(awk '/^deb / {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
  [ -n "$mirror" ] || fail "no Debian mirror is named in /etc/apt/sources.list.d/*.sources or /etc/apt/sources.list"
  made=$(mktemp -d /tmp/stopwell-debootstrap.XXXXXX)
  debootstrap --variant=minbase bookworm "$made" "$mirror" >"$BUILD/debootstrap.log" 2>&1 ||
    { rm -rf --one-file-system "$made"; fail "debootstrap failed: see $BUILD/debootstrap.log"; }
  # Written beside and renamed: a run cut short leaves no half tarball to be taken for a root.
  tar -C "$made" -cf "$BASE.partial" . && mv "$BASE.partial" "$BASE"
  rm -rf --one-file-system "$made"
fi
root=$(mktemp -d /tmp/stopwell-root.XXXXXX)
cleanup() {
  # Whatever the check left running inside the root (by process id, only those of this root).
  local process
  for process in /proc/[0-9]*; do
    if [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
      kill -9 "${process#/proc/}" 2>/dev/null || true
    fi
  done
  sleep 0.2
  umount -R "$root/sys" 2>/dev/null || true
  umount -R "$root/dev" 2>/dev/null || true
  umount "$root/proc" 2>/dev/null || true
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$BASE"
# Every user of the root, not root alone, must be able to enter it.
chmod 0755 "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mkdir -p "$root/check"
cp "$deb" "$ROOT"/tests/package/*.sh "$root/check/"
"$ROOT/tests/package/revised-deb.sh" "$deb" "$root/check"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"

step "Installing, using, upgrading and removing the package in the fresh root"
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  /bin/bash /check/in-root.sh "/check/$(basename "$deb")" 2>&1 | tee "$OUT/in-root.log" || status=$?
for picture in "$root"/check/shots/*.xwd; do
  [ -f "$picture" ] && convert "xwd:$picture" "$OUT/$(basename "${picture%.xwd}").png"
done
cp "$root"/check/*.log "$root"/check/shots/*.log "$OUT/" 2>/dev/null || true
((status == 0)) || fail "the installed package did not pass (see $OUT/in-root.log)"
step "The package passed"
