#!/usr/bin/env bash
# Installs the Debian packages one or more sets need, and only those that are
# missing; quiet when everything is present.
#
#   tools/install-deps.sh [build|test|package|fuzz ...]     (default: build)
#
#   build    build the programs and their tests, run the programs
#   test     build, plus what the suite needs beyond it: the decimal-comma
#            locale the number tests run under
#   package  build, plus the Debian package's tools and tools/check-package.sh's
#   fuzz     the clang compiler and libFuzzer for the fuzz preset
set -euo pipefail

# The default preset builds the test programs too, so the build set has GoogleTest.
# pkg-config: Qt's CMake files look for XKB with it. The dialogs were laid out for
# Liberation Sans; the ZR report needs a fixed-pitch face (DejaVu Sans Mono).
# The window's translations: qt_add_translations (qt6-tools-dev) runs lupdate and
# lrelease (qt6-l10n-tools); Qt's own texts in other languages (qt6-translations-l10n).
# korvel-web serves its API and events with Qt's HTTP server and WebSockets.
build_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  qt6-httpserver-dev qt6-websockets-dev
  libgtest-dev
  fonts-dejavu-core fonts-liberation2
)
# The sanitizer runs use g++'s own AddressSanitizer and UBSan libraries; the
# network port tests run a real serial device server (ser2net) on loopback;
# korvelctl's JSON is checked against its schemas with python3-jsonschema;
# korvel-web's /metrics with promtool (prometheus), its HTTPS with a certificate
# made by openssl; its page in a headless Chromium driven by chromium-driver and
# python3-selenium.
test_packages=("${build_packages[@]}" locales ser2net python3-jsonschema prometheus openssl
  chromium chromium-driver python3-selenium)
# dpkg-shlibdeps (dpkg-dev) and file for CPack's dependency scan, help2man for
# korvelctl's man page, debootstrap for the clean root of check-package.sh.
package_packages=("${build_packages[@]}" dpkg-dev file help2man debootstrap)
fuzz_packages=(cmake ninja-build clang libclang-rt-dev)

packages=()
want_locale=0
[ $# -gt 0 ] || set -- build
for set_name in "$@"; do
  case "$set_name" in
    build) packages+=("${build_packages[@]}") ;;
    test) packages+=("${test_packages[@]}"); want_locale=1 ;;
    package) packages+=("${package_packages[@]}") ;;
    fuzz) packages+=("${fuzz_packages[@]}") ;;
    *) echo "usage: tools/install-deps.sh [build|test|package|fuzz ...]" >&2; exit 2 ;;
  esac
done
# A Dutch desktop writes numbers with a decimal comma; the program must not care.
test_locale=nl_NL.UTF-8

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
has_locale() { locale -a 2>/dev/null | grep -qix "${test_locale/UTF-8/utf-\\?8}"; }
locale_missing=0
if [ "$want_locale" -eq 1 ] && ! has_locale; then locale_missing=1; fi
if [ ${#missing[@]} -eq 0 ] && [ "$locale_missing" -eq 0 ]; then exit 0; fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  wanted="${missing[*]}"
  [ "$locale_missing" -eq 0 ] || wanted+=" the locale $test_locale"
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: $wanted" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq </dev/null
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
fi

if [ "$locale_missing" -eq 1 ]; then
  echo "install-deps: generating the locale $test_locale"
  line="$test_locale UTF-8"
  if grep -q "^# *$line" /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i "s/^# *$line/$line/" /etc/locale.gen
  elif ! grep -q "^$line" /etc/locale.gen 2>/dev/null; then
    echo "$line" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen </dev/null >/dev/null
fi
