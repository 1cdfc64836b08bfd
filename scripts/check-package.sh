#!/usr/bin/env bash
# Builds the packages, checks what the .deb installs and the portable tarball holds, runs the
# Debian validators on them, then installs the .deb with apt as a user would and removes it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh >/dev/null
source scripts/packages.sh
FENLOW_PACKAGES=(lintian desktop-file-utils appstream)
fenlow_install_packages

deb=$(ls build/packages/fenlow_*_amd64.deb)
tarball=$(ls build/packages/fenlow-*-linux-x86_64.tar.gz)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

expected=(
  usr/bin/fenlow
  usr/bin/fenlowctl
  usr/share/applications/fenlow.desktop
  usr/share/icons/hicolor/scalable/apps/fenlow.svg
  usr/share/icons/hicolor/48x48/apps/fenlow.png
  usr/share/icons/hicolor/256x256/apps/fenlow.png
  usr/share/metainfo/io.github.fenlow.Fenlow.metainfo.xml
  usr/share/doc/fenlow/Fenguide.htm
  usr/share/doc/fenlow/copyright
  usr/share/doc/fenlow/changelog.gz
  usr/share/man/man1/fenlow.1.gz
  usr/share/man/man1/fenlowctl.1.gz
  usr/lib/systemd/user/fenlow.service
  usr/share/bash-completion/completions/fenlowctl
)
failed=0
for path in "${expected[@]}"; do
  if [ ! -e "$root/$path" ]; then
    echo "missing from the package: /$path"
    failed=1
  fi
done
unexpected=$(cd "$root" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
if [ -n "$unexpected" ]; then
  echo "not expected in the package: $unexpected"
  failed=1
fi
file "$root/usr/share/icons/hicolor/48x48/apps/fenlow.png" 2>/dev/null | grep -q '48 x 48' \
  || { [ ! -x /usr/bin/file ] || { echo "the 48 pixel icon is not 48 x 48"; failed=1; }; }
if [ "$(tar tzf "$tarball" | sort | tr '\n' ' ')" != "$(basename "$tarball" .tar.gz)/Fenguide.htm $(basename "$tarball" .tar.gz)/fenlow $(basename "$tarball" .tar.gz)/fenlowctl " ]; then
  echo "the portable tarball holds: $(tar tzf "$tarball" | tr '\n' ' ')"
  failed=1
fi

echo "desktop-file-validate:"
desktop-file-validate "$root/usr/share/applications/fenlow.desktop" || failed=1
echo "appstreamcli validate --no-net:"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.fenlow.Fenlow.metainfo.xml" || failed=1
echo "lintian:"
lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || failed=1

# Installed as a user would, with what it needs pulled in; then removed again.
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb" >/dev/null
/usr/bin/fenlowctl --version
home=$(mktemp -d)
# No portable folder beside /usr/bin: an installed program works in the per-user folder.
said=$(HOME="$home" XDG_DATA_HOME="$home/share" /usr/bin/fenlowctl status 2>&1 || true)
grep -qF "$home/share/Fenlow" <<<"$said" || { echo "an installed fenlowctl does not use the per-user folder"; failed=1; }
rm -rf "$home"
apt-get remove -y -qq fenlow >/dev/null

[ $failed -eq 0 ] && echo "Package: every check passed"
exit $failed
