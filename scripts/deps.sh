#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Only what is missing is installed; apt-get runs through sudo when not root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qtbase5-dev libqt5serialport5-dev qttools5-dev-tools
  libxlsxwriter-dev libmodbus-dev
  fonts-croscore xvfb xauth
  python3 python3-openpyxl
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

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
