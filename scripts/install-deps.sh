#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build ccache pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libqt6sql6-sqlite libqt6sql6-psql libqt6printsupport6 libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins
  postgresql postgresql-client libpq-dev libsqlite3-dev
  libjpeg62-turbo-dev libxlsxwriter-dev libzip-dev libfreexl-dev zlib1g-dev
  fonts-noto-cjk fonts-wqy-microhei fonts-liberation2 fonts-liberation fonts-dejavu-core
  unicode-data python3 python3-xlwt clang
  zbar-tools libxml2-utils poppler-utils
  librsvg2-bin desktop-file-utils
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
