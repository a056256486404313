#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing. Runs as root or via sudo.
set -euo pipefail
packages=(g++ make cmake libxalan-c-dev libxerces-c-dev libgtest-dev libgmock-dev libbenchmark-dev
          clang-format)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
