#!/usr/bin/env bash
# Installs what is missing, builds and starts the program on the embedded SQLite database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build=${ORV_BUILD_DIR:-build}
# A first start on this machine: point config.ini at the embedded database.
cfgdir="$build/src"
if [ ! -f "$cfgdir/config.ini" ]; then
  printf '[ServerName]\nServerName=(local)\n[UserID]\nUserID=sa\n[PassWord]\nPassWord=\n' > "$cfgdir/config.ini"
fi
exec "$build/src/orvane"
