#!/usr/bin/env bash
# Installs the library into an empty prefix and builds examples/host against it twice, through
# find_package and through pkg-config; checks the installed library's exports; builds the Debian
# package and shows its contents and dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
bash scripts/bootstrap.sh
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install build/package --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libPRSM_XSLTransformer.so')")

echo "== exports of the installed library"
cmake -DLIBRARY="$libdir/libPRSM_XSLTransformer.so" -P tests/support/CheckExports.cmake

expected="Spring meet-up, team Platform
[A.L.] Ada Lovelace (lead)
[G.B.H.] Grace Brewster Hopper (developer)
[É.d.C.] Émilie du Châtelet (developer)"
check_host() {
    local output
    output=$("$@")
    if [ "$output" != "$expected" ]; then
        printf 'unexpected output of %s:\n%s\n' "$1" "$output" >&2
        exit 1
    fi
    printf '%s\n' "$output"
}

echo "== examples/host through find_package"
cmake -S examples/host -B "$work/host-cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/host-cmake"
check_host "$work/host-cmake/prsm_host"

echo "== examples/host through pkg-config"
mkdir "$work/host-pkg-config"
PKG_CONFIG_PATH=$libdir/pkgconfig \
    make -C "$work/host-pkg-config" -f "$source_dir/examples/host/Makefile"
check_host env LD_LIBRARY_PATH="$libdir" "$work/host-pkg-config/prsm_host"

echo "== Debian package"
rm -f build/package/*.deb
cpack --preset deb >/dev/null
deb=$(echo build/package/*.deb)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libxalan-c libxerces-c libxml2; do
    [[ $depends == *"$library"* ]] || { echo "$deb does not depend on $library" >&2; exit 1; }
done
contents=$(dpkg-deb -c "$deb")
for file in 'usr/lib/[^/]+/libPRSM_XSLTransformer\.so\.1' 'usr/bin/prsm-xslt' \
            'usr/include/PRSM_XSLTransformer/PRSMVersion\.hpp' 'usr/share/man/man1/prsm-xslt\.1\.gz'
do
    grep -qE " \./$file( |$)" <<<"$contents" || { echo "$deb lacks $file" >&2; exit 1; }
done
# The package and the tool take their version from the same project(VERSION).
version=$(dpkg-deb -f "$deb" Version)
tool_version=$("$prefix/bin/prsm-xslt" --version)
[[ $tool_version == "prsm-xslt $version "* ]] ||
    { echo "package $version, but the tool says: $tool_version" >&2; exit 1; }
echo "package check passed"
