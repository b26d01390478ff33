#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need (as root).
set -euo pipefail
packages=(
    build-essential cmake ninja-build ccache pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format
    libxlsxwriter-dev
    python3 python3-xlrd python3-openpyxl
    fonts-liberation fonts-dejavu
    xvfb xauth xdg-utils
    qt6-translations-l10n dpkg-dev desktop-file-utils shared-mime-info libfile-mimeinfo-perl
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
