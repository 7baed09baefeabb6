#!/bin/sh
# Installs the Debian packages Korvel needs to build, run and test.
# Quick when everything is present: apt is only asked for what is missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
qt6-base-dev qt6-base-dev-tools libgl-dev zlib1g-dev
libgtest-dev libgmock-dev googletest libbenchmark-dev
xvfb xauth fonts-dejavu-core fonts-liberation fonts-wqy-microhei"

if [ "${1:-}" = "--test" ]; then
    # The independent player used to check the movies we write. Node may come from
    # elsewhere than Debian (with npm bundled), so ask for the commands, not packages.
    command -v node >/dev/null 2>&1 || PACKAGES="$PACKAGES nodejs"
    command -v npm >/dev/null 2>&1 || PACKAGES="$PACKAGES npm"
    command -v chromium >/dev/null 2>&1 || PACKAGES="$PACKAGES chromium"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
