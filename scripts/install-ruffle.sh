#!/bin/sh
# Installs the Ruffle checker (Ruffle in headless Chromium) into DEST for the tests.
# Needs node, npm and chromium (scripts/install-deps.sh --test installs them).
set -eu
dest=${1:?usage: install-ruffle.sh DEST}
src=$(cd "$(dirname "$0")/../tools/ruffle-check/checker" && pwd)
if [ -d "$dest/node_modules" ] && cmp -s "$src/package-lock.json" "$dest/package-lock.json"; then
    exit 0
fi
mkdir -p "$dest"
cp "$src"/*.js "$src"/*.mjs "$src"/package.json "$src"/package-lock.json "$dest"/
(cd "$dest" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
echo "Ruffle checker installed in $dest"
