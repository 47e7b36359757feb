#!/usr/bin/env bash
# Builds the Debian package kumemo_<version>_<arch>.deb into build-package/,
# checks it with lintian (no error, warning or informational tag left), and
# installs, starts, removes and purges it in a throw-away Debian root made
# with debootstrap, so that neither this machine nor its Qt development files
# take part. The root is made while the package builds.
#
# The package build runs the tests as dpkg-buildpackage does; CI, which has
# just run them in build/, sets DEB_BUILD_OPTIONS=nocheck.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh debhelper dpkg-dev fakeroot lintian debootstrap desktop-file-utils appstream \
  shared-mime-info
if [ "$(id -u)" -ne 0 ]; then
  echo "The install check makes a Debian root with debootstrap: run as root." >&2
  exit 1
fi
out=$PWD/build-package
rm -rf "$out"
mkdir -p "$out"
root=$out/root
log=$out/debootstrap.log
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >"$log" 2>&1 &
debootstrap_pid=$!
cleanup() {
  kill "$debootstrap_pid" 2>/dev/null || true
  wait "$debootstrap_pid" 2>/dev/null || true
  umount "$root/proc" 2>/dev/null || true
  # Never through a mount that is still there.
  mountpoint -q "$root/proc" || rm -rf "$root"
}
trap cleanup EXIT

# The package is built from the checkout's files, nothing else of it.
source=$out/kumemo
mkdir -p "$source"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$source"
# With a compiler cache on the machine, the package's build uses it too
# (the files built are the same).
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
fi
# debhelper builds on one core unless told how many it may use.
case " ${DEB_BUILD_OPTIONS:-} " in
  *" parallel="*) ;;
  *) export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)" ;;
esac
(cd "$source" && dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1 || {
  tail -n 60 "$out/build.log" >&2
  echo "package build FAILED (log: $out/build.log)" >&2
  exit 1
}
deb=$(ls "$out"/kumemo_*.deb)
echo "built $(basename "$deb"), $(du -k "$deb" | cut -f1) kB"

lintian --fail-on error,warning,info --display-info --info "$out"/kumemo_*.changes \
  >"$out/lintian.log" 2>&1 || {
  cat "$out/lintian.log" >&2
  echo "lintian FAILED" >&2
  exit 1
}
echo "lintian: clean"

if ! wait "$debootstrap_pid"; then
  tail -n 20 "$log" >&2
  echo "debootstrap FAILED (log: $log)" >&2
  exit 1
fi
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 "$@"; }
fail() {
  echo "install check FAILED: $*" >&2
  exit 1
}
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq >/dev/null
in_root dpkg-query -W -f='${Package}\n' | sort >"$out/before.txt"
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" \
  >"$out/install.log" 2>&1 || { cat "$out/install.log" >&2; fail "apt-get install"; }
in_root dpkg-query -W -f='${Package}\n' | sort >"$out/after.txt"
added=$(comm -13 "$out/before.txt" "$out/after.txt")
echo "installed with $(echo "$added" | wc -l) packages"
dev=$(echo "$added" | grep -E -- '-dev$|^g\+\+|^gcc|^cmake' || true)
[ -z "$dev" ] || fail "development packages came along: $dev"

# Started as its user does, headless, it stays up until it is stopped, and
# brings its mark file into the user's folder, never beside the program.
status=0
in_root timeout 10 env QT_QPA_PLATFORM=offscreen kuMemo /usr/share/kuMemo/sample.kmd \
  >"$out/start.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$out/start.log" >&2; fail "the program ended with $status"; }
folder=/root/.local/share/KumemoSTUDIOS/kuMemo
[ -f "$root$folder/kuMemo-ini.txt" ] || fail "no mark file in $folder"
printf '<u-616262631263:k7Pq2 value='\''3:4:2'\''/>\r\n' >"$root$folder/learner.kmu"

in_root dpkg-query -L kumemo | while read -r f; do [ -d "$root$f" ] || echo "$f"; done \
  >"$out/files.txt"
# Removed, none of its files stays; installed again and purged, the same,
# and what the learner made stays through both.
for way in remove purge; do
  in_root apt-get "$way" -y -qq kumemo >"$out/$way.log" 2>&1 || { cat "$out/$way.log" >&2; fail "apt-get $way"; }
  while read -r f; do [ ! -e "$root$f" ] || fail "$f left behind by $way"; done <"$out/files.txt"
  for f in kuMemo-ini.txt learner.kmu; do
    [ -f "$root$folder/$f" ] || fail "$way took the user's $f"
  done
  [ "$way" = purge ] || in_root apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$deb")" >>"$out/install.log" 2>&1 || fail "apt-get install, again"
done
echo "install check: $(wc -l <"$out/files.txt") files installed and removed, the user's files kept"
