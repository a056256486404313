#!/usr/bin/env bash
# Installs the library into an empty prefix and builds examples/host against it twice, through
# find_package and through pkg-config; checks the installed library's exports; builds the Debian
# packages, runs lintian on them, installs them with apt, builds and runs the host against /usr,
# shows the man page, and checks that removing them leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
bash scripts/bootstrap.sh lintian man-db
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

echo "== Debian packages"
rm -f build/package/*.deb
cpack --preset deb >/dev/null
runtime=(build/package/libprsm-xsltransformer1_*.deb)
dev=(build/package/libprsm-xsltransformer-dev_*.deb)
tool=(build/package/prsm-xslt_*.deb)
for deb in "${runtime[0]}" "${dev[0]}" "${tool[0]}"; do
    [ -f "$deb" ] || { echo "missing package: $deb" >&2; exit 1; }
    dpkg-deb -f "$deb" Package Version Depends
done
# Lintian's errors fail the check; its warnings are shown.
lintian --fail-on error build/package/*.deb 2>&1 | grep -v "running with root privileges" || true
lintian --fail-on error build/package/*.deb >/dev/null 2>&1 || { echo "lintian reports errors" >&2; exit 1; }

expect_files() {
    local deb=$1; shift
    local contents
    contents=$(dpkg-deb -c "$deb")
    for file in "$@"; do
        grep -qE " \./$file( |$)" <<<"$contents" || { echo "$deb lacks $file" >&2; exit 1; }
    done
}
expect_files "${runtime[0]}" 'usr/lib/[^/]+/libPRSM_XSLTransformer\.so\.1' \
    'usr/share/doc/libprsm-xsltransformer1/copyright'
expect_files "${dev[0]}" 'usr/lib/[^/]+/libPRSM_XSLTransformer\.so' \
    'usr/include/PRSM_XSLTransformer/PRSMVersion\.hpp' 'usr/lib/[^/]+/pkgconfig/PRSM_XSLTransformer\.pc'
expect_files "${tool[0]}" 'usr/bin/prsm-xslt' 'usr/share/man/man1/prsm-xslt\.1\.gz'
depends=$(dpkg-deb -f "${runtime[0]}" Depends)
for library in libxalan-c libxerces-c; do
    [[ $depends == *"$library"* ]] || { echo "${runtime[0]} does not depend on $library" >&2; exit 1; }
done
grep -q '(>= ' <(dpkg-deb -I "${runtime[0]}" shlibs) ||
    { echo "shlibs of ${runtime[0]} pin one version" >&2; exit 1; }

# The package and the tool take their version from the same project(VERSION).
version=$(dpkg-deb -f "${tool[0]}" Version)
tool_version=$("$prefix/bin/prsm-xslt" --version)
[[ $tool_version == "prsm-xslt $version "* ]] ||
    { echo "package $version, but the tool says: $tool_version" >&2; exit 1; }

echo "== install, use and remove the packages"
packages=(libprsm-xsltransformer1 libprsm-xsltransformer-dev prsm-xslt)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Packages left by an earlier run would hide a missing dependency.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 purge -y -qq \
    "${packages[@]}" >/dev/null 2>&1 || true
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends "./${runtime[0]}" "./${dev[0]}" "./${tool[0]}" >/dev/null
cmake -S examples/host -B "$work/host-usr" >/dev/null
cmake --build "$work/host-usr"
check_host "$work/host-usr/prsm_host"
prsm-xslt --version
man -P cat prsm-xslt >"$work/man.txt" 2>/dev/null
grep -q "^EXIT STATUS" "$work/man.txt" || { echo "man prsm-xslt shows no page" >&2; exit 1; }
installed=$(dpkg -L "${packages[@]}" | sort -u)
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 remove -y -qq \
    "${packages[@]}" >/dev/null
left=$(while read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <<<"$installed")
[ -z "$left" ] || { printf 'left behind after removal:\n%s\n' "$left" >&2; exit 1; }
! dpkg -l "${packages[@]}" 2>/dev/null | grep -q '^[a-z][a-z] ' ||
    { echo "dpkg still records a removed package" >&2; exit 1; }
echo "package check passed"
