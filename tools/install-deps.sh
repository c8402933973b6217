#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and only
# those that are missing, and generates the decimal-comma locale the number
# tests run under. Quiet when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libgtest-dev
  clang libclang-rt-dev
  xvfb xauth
  fonts-dejavu-core fonts-liberation2
  dpkg-dev file debootstrap
  locales
  help2man appstream
  ser2net
)
# A Dutch desktop writes numbers with a decimal comma; the program must not care.
test_locale=nl_NL.UTF-8

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
has_locale() { locale -a 2>/dev/null | grep -qix "${test_locale/UTF-8/utf-\\?8}"; }
if [ ${#missing[@]} -eq 0 ] && has_locale; then exit 0; fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]} $test_locale" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq </dev/null
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
fi

if ! has_locale; then
  echo "install-deps: generating the locale $test_locale"
  line="$test_locale UTF-8"
  if grep -q "^# *$line" /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i "s/^# *$line/$line/" /etc/locale.gen
  elif ! grep -q "^$line" /etc/locale.gen 2>/dev/null; then
    echo "$line" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen </dev/null >/dev/null
fi
