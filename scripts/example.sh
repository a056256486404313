#!/usr/bin/env bash
# Installs what is missing, builds, and runs the library on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target prsm-xslt
build/release/tools/prsm-xslt --stringparam title "Spring catalogue" examples/catalogue/report.xsl examples/catalogue/catalogue.xml
