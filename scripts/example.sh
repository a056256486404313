#!/usr/bin/env bash
# Installs what is missing, builds, and runs the library on the bundled example. Only the
# example's HTML goes to standard output, so `bash scripts/example.sh > report.html` keeps it.
set -euo pipefail
cd "$(dirname "$0")/.."
{
    bash scripts/bootstrap.sh
    cmake --preset release
    cmake --build --preset release -j "$(nproc)" --target prsm-xslt
} >&2
build/release/tools/prsm-xslt --stringparam title "Spring catalogue" examples/catalogue/report.xsl examples/catalogue/catalogue.xml
