#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Scrivlet need, and only
# those that are missing. As root it installs them; otherwise it prints the command to run.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-svg-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang-format ccache
    fonts-ipafont fonts-noto-cjk
    xvfb xauth imagemagick
    python3 xdotool x11-xserver-utils x11-utils util-linux
    nkf
    xdg-utils
    desktop-file-utils shared-mime-info
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
