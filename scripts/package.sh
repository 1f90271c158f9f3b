#!/usr/bin/env bash
# Makes the Debian package build-package/tinlark_<version>_<architecture>.deb from the
# checkout, built with Debian's hardening flags, and checks it with lintian.
#   sudo apt-get install ./build-package/tinlark_*_amd64.deb   installs it
#   sudo apt-get remove tinlark                                removes it
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --package
build=build-package

# The compiler and linker flags every Debian package is built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tinlark tinlark-makedb
rm -f "$build"/tinlark_*.deb
(cd "$build" && cpack -G DEB)

package="$(ls "$build"/tinlark_*.deb)"
echo "== $package"
dpkg-deb --info "$package"
echo "== lintian"
lintian --info --display-info --fail-on error "$package"
