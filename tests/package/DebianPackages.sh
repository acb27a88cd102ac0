#!/usr/bin/env bash
# The Debian packages, tried as a user of them would: build them with the
# Debian build flags, check them with lintian, install them with dpkg, build
# and run programs against /usr with find_package and with pkg-config, run
# the tools and their manual pages, then remove the packages and check that
# nothing of them is left. Needs root.
# Usage: DebianPackages.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$(realpath "$1")
build=$2
packages=(libkivlogging1 libkivlogging-dev kivlogging-tools)

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKIVLOGGING_BUILD_TESTS=OFF -DKIVLOGGING_BUILD_EXAMPLES=OFF -DKIVLOGGING_JOURNAL=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/*.deb)
[ "${#debs[@]}" -eq 3 ] || { echo "expected 3 packages, got: ${debs[*]}"; exit 1; }

echo "-- the runtime package depends on libsystemd0 for the journal member"
depends=$(dpkg-deb -f "$build"/libkivlogging1_*.deb Depends)
echo "Depends: $depends"
[[ "$depends" == *libsystemd0* ]] || { echo "libkivlogging1 does not depend on libsystemd0"; exit 1; }

echo "-- lintian (errors fail; the warnings are listed in the README)"
lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

echo "-- install"
dpkg -i "${debs[@]}"
installed=$(dpkg -L "${packages[@]}" | sort -u)

echo "-- programs against /usr"
consumers=$(mktemp -d)
for consumer in consumer format-consumer; do
  ctest --build-and-test "$source/tests/package/$consumer" "$consumers/$consumer" \
    --build-generator "Unix Makefiles" --test-command "$consumers/$consumer/$consumer"
done
c++ -std=c++20 "$source/tests/package/consumer/Consumer.cpp" -o "$consumers/pkg-config-consumer" \
  $(pkg-config --cflags --libs kivlogging)
"$consumers/pkg-config-consumer" | grep -q "installed package works"
rm -rf "$consumers"

echo "-- tools and manual pages"
for tool in kivlog kivlog-doctor; do
  "$tool" --help > /dev/null
  man -w "$tool"
done

echo "-- remove"
dpkg -r "${packages[@]}"
for package in "${packages[@]}"; do
  if dpkg -s "$package" > /dev/null 2>&1 && dpkg -s "$package" | grep -q "^Status: install"; then
    echo "still installed: $package"; exit 1
  fi
done
left=0
while IFS= read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path"; left=1; fi
done <<< "$installed"
[ "$left" -eq 0 ]
echo "the packages install, work and remove cleanly"
