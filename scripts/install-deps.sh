#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing. Uses sudo when not run as root.
#   install-deps.sh --run    what building and running the program needs
#   install-deps.sh --docs   that, and what the README's screenshot is made with
#   install-deps.sh --package  that, and what the Debian package is made and checked with
#   install-deps.sh          everything: also the tests, the fuzzing, the benchmarks and the package
set -euo pipefail
run_packages=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6 qt6-svg-dev
              libsqlite3-dev zlib1g-dev libicu-dev mdbtools-dev libmdb3 fonts-dejavu-core
              libpq-dev libpq5 libsecret-1-dev libx11-dev libxcb1-dev libxtst-dev)
test_packages=(clang libbenchmark-dev libclang-rt-14-dev openssl
               xvfb xauth xdotool xclip time
               desktop-file-utils appstream openbox x11-utils
               postgresql-15 util-linux
               python3-pyatspi at-spi2-core dbus-daemon gnome-keyring)
package_packages=(dpkg-dev file lintian man-db)
docs_packages=(xvfb xdotool x11-utils openbox imagemagick python3-pyatspi at-spi2-core dbus-daemon)
case "${1:-}" in
  --run) packages=("${run_packages[@]}") ;;
  --docs) packages=("${run_packages[@]}" "${docs_packages[@]}") ;;
  --package) packages=("${run_packages[@]}" "${package_packages[@]}") ;;
  "") packages=("${run_packages[@]}" "${test_packages[@]}" "${docs_packages[@]}" "${package_packages[@]}") ;;
  *) echo "usage: install-deps.sh [--run | --docs | --package]" >&2; exit 2 ;;
esac
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
