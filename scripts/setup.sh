#!/usr/bin/env bash
# Installs the Debian packages and locales the suite needs, only those that are missing,
# so that a second run costs a second or two.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packages.txt")
missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The French and English locales are used by the translation tests and the viewer.
need_locale=0
for l in fr_FR.UTF-8 en_US.UTF-8 fr_FR.ISO-8859-1; do
  if ! locale -a 2>/dev/null | grep -qi "^${l%%.*}\.$(echo "${l#*.}" | tr -d '-' | tr 'A-Z' 'a-z')$"; then
    need_locale=1
  fi
done
if [ "$need_locale" -eq 1 ]; then
  echo "setup: generating locales"
  for l in "fr_FR.UTF-8 UTF-8" "en_US.UTF-8 UTF-8" "fr_FR ISO-8859-1"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null
fi
