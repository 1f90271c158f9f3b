#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need, when any
# of them is missing. Uses sudo when not run as root.
set -euo pipefail
packages=(g++ clang cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6 libqt6svg6-dev
          libsqlite3-dev libicu-dev libbenchmark-dev libclang-rt-14-dev
          xvfb xauth xdotool xclip time fonts-dejavu-core openbox x11-utils)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
