#!/usr/bin/env bash
# Proves the Debian package on a clean Debian 12: builds it, installs it with apt
# into a fresh minimal root (so apt must find every runtime package through the
# package's own dependencies), then starts both installed programs offscreen and
# checks that they stay up. Run by hand as root; it needs Debian's package
# archive and takes a few minutes. KEEP_ROOT=1 leaves the root for inspection;
# a mirror other than debootstrap's default may be given as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."

[ "$(id -u)" -eq 0 ] || { echo "check-package: run as root (debootstrap and chroot)" >&2; exit 1; }
mirror=("$@")

./run.sh package
debs=(build/package/korvelconfig_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "check-package: expected one package in build/package" >&2; exit 1; }
deb=${debs[0]}

expected=(
  ./usr/bin/korvelconfig
  ./usr/bin/korvelconfig-demo
  ./usr/bin/korvelctl
  ./usr/share/man/man1/korvelctl.1.gz
  ./usr/share/metainfo/org.example.korvelconfig.metainfo.xml
  ./usr/share/applications/korvelconfig.desktop
  ./usr/share/applications/korvelconfig-demo.desktop
  ./usr/share/icons/hicolor/48x48/apps/korvelconfig.png
  ./usr/share/icons/hicolor/256x256/apps/korvelconfig.png
  ./usr/share/bash-completion/completions/korvelctl
  ./usr/share/zsh/vendor-completions/_korvelctl
  ./usr/share/fish/vendor_completions.d/korvelctl.fish
  ./usr/share/doc/korvelconfig/backup.schema.json
  ./usr/bin/korvel-web
  ./usr/share/man/man1/korvel-web.1.gz
  ./usr/lib/systemd/system/korvel-web.service
  ./usr/share/doc/korvelconfig/korvel-web.openapi.json
)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in "${expected[@]}"; do
  grep -qxF "$f" <<<"$contents" || { echo "check-package: $deb lacks $f" >&2; exit 1; }
done
echo "check-package: $deb holds the programs, man page, completions, schemas, metadata, desktop entries and icons"

root=$(mktemp -d /tmp/korvel-clean-root.XXXXXX)
chmod 755 "$root"
cleanup() {
  for m in dev/pts proc; do
    mountpoint -q "$root/$m" && umount "$root/$m"
  done
  if [ "${KEEP_ROOT:-0}" = 1 ]; then
    echo "check-package: root kept in $root"
  elif ! findmnt -rn -o TARGET | grep -q "^$root/"; then
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"
}

echo "check-package: making a clean Debian 12 root in $root"
cache=$PWD/build/debootstrap-cache
mkdir -p "$cache"
debootstrap --variant=minbase --cache-dir="$cache" bookworm "$root" "${mirror[@]}" >build/debootstrap.log 2>&1 ||
  { tail -20 build/debootstrap.log >&2; exit 1; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
# The demo serves its simulated system on a pseudo-terminal.
mount --bind /dev/pts "$root/dev/pts"

cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
in_root dpkg -s korvelconfig | grep -E '^(Status|Version|Depends):'

for program in korvelconfig korvelconfig-demo; do
  if in_root ldd "/usr/bin/$program" | grep 'not found'; then
    echo "check-package: $program misses libraries" >&2
    exit 1
  fi
  rc=0
  in_root env QT_QPA_PLATFORM=offscreen timeout 5 "$program" >"$root/tmp/$program.log" 2>&1 || rc=$?
  if [ "$rc" -ne 124 ]; then
    cat "$root/tmp/$program.log" >&2
    echo "check-package: $program ended with $rc instead of running until stopped" >&2
    exit 1
  fi
  echo "check-package: $program started and was still running after 5 s"
done

# korvel-web serves the simulated system until stopped; its unit is installed but
# not enabled.
rc=0
in_root timeout 5 korvel-web --demo --listen 127.0.0.1:8750 >"$root/tmp/korvel-web.log" 2>&1 || rc=$?
if [ "$rc" -ne 124 ]; then
  cat "$root/tmp/korvel-web.log" >&2
  echo "check-package: korvel-web ended with $rc instead of running until stopped" >&2
  exit 1
fi
if find "$root/etc/systemd" -name korvel-web.service 2>/dev/null | grep -q .; then
  echo "check-package: the package enabled korvel-web.service" >&2
  exit 1
fi
echo "check-package: korvel-web served the demo for 5 s; its unit is installed and not enabled"

if ! in_root korvelctl --demo status >"$root/tmp/korvelctl.log" 2>&1; then
  cat "$root/tmp/korvelctl.log" >&2
  echo "check-package: korvelctl --demo status failed" >&2
  exit 1
fi
echo "check-package: korvelctl answered with the demo system's status"

# The installed bash completion, loaded as bash-completion loads it, offers the
# setting names after "korvelctl kx set 2".
in_root apt-get install -y -qq --no-install-recommends bash-completion >/dev/null
offered=$(in_root bash -c 'source /usr/share/bash-completion/completions/korvelctl
  COMP_WORDS=(korvelctl kx set 2 ""); COMP_CWORD=4; _korvelctl; echo "${COMPREPLY[*]}"')
grep -qw hfi <<<"$offered" && grep -qw loop-current <<<"$offered" ||
  { echo "check-package: the bash completion offered \"$offered\" after kx set 2" >&2; exit 1; }
zcat "$root/usr/share/man/man1/korvelctl.1.gz" | grep -q '^\.SH "\?EXIT STATUS' ||
  { echo "check-package: the man page has no EXIT STATUS section" >&2; exit 1; }
echo "check-package: the bash completion offers the setting names; the man page has its sections"

in_root apt-get install -y -qq --no-install-recommends desktop-file-utils appstream >/dev/null
in_root appstreamcli validate --no-net /usr/share/metainfo/org.example.korvelconfig.metainfo.xml
in_root desktop-file-validate /usr/share/applications/korvelconfig.desktop \
  /usr/share/applications/korvelconfig-demo.desktop
echo "check-package: desktop entries are valid; the package passed on a clean Debian 12"
