#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the package check need, when they are
# missing, and any packages named as arguments (scripts/fuzz.sh asks for clang). Runs as root or via
# sudo; waits while another install holds apt's locks.
set -euo pipefail
# help2man makes the man page; dpkg-dev (dpkg-shlibdeps) and file fill in the Debian package's
# dependencies; pkg-config builds the example host the way a Makefile user would; libxml2 resolves
# XML catalogs; libcurl (the parser's flavour) reads the network. (libmimalloc-dev, for
# -DPRSM_TOOL_MIMALLOC=ON, is a choice.)
packages=(g++ make cmake libxalan-c-dev libxerces-c-dev libxml2-dev libcurl4-gnutls-dev libgtest-dev clang-format
          help2man dpkg-dev file pkg-config "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -gt 0 ] || exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# apt-get waits for dpkg's lock by itself, but not for the package lists' lock that a concurrent
# update holds, so that one is retried.
deadline=$((SECONDS + 600))
until output=$($sudo apt-get -o DPkg::Lock::Timeout=600 update -qq 2>&1); do
    if [[ $output != *"Could not get lock"* ]] || [ $SECONDS -ge $deadline ]; then
        printf '%s\n' "$output" >&2
        exit 1
    fi
    sleep 5
done
$sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends "${missing[@]}"
