#!/usr/bin/env bash
# The DocBook workload: Debian's docbook-xsl stylesheets (html/docbook.xsl, then a second family,
# fo/docbook.xsl) over the DocBook project's test documents (testdocs/tests of
# docbook/xslt10-stylesheets), prsm-xslt against xsltproc --nonet on the same files: the whole
# batch in one process (-j 1 and -j 2), one book alone, and the peak memory of each. Wall time is
# the best of RUNS runs; user CPU time (also the best) is steadier than wall time on a shared
# machine.
# Usage: bench/docbook.sh [test folder] [build dir]
#   test folder: DOCBOOK_TESTS, else /work/docbook-tests/testdocs/tests
#   build dir:   build/release by default (cmake --preset release && cmake --build --preset release
#                --target prsm-xslt)
#   RUNS=3 by default; FAMILIES="html fo" by default (any of docbook-xsl's folders with a
#   docbook.xsl: html, xhtml, xhtml5, fo, manpages, ...; those not installed are skipped).
#   STYLESHEETS: the suite, /usr/share/xml/docbook/stylesheet/docbook-xsl by default; its
#   namespaced sibling docbook-xsl-ns runs the same documents through exsl:node-set().
set -euo pipefail
tests="${1:-${DOCBOOK_TESTS:-/work/docbook-tests/testdocs/tests}}"
build="${2:-build/release}"
runs="${RUNS:-3}"
families="${FAMILIES:-html fo}"
stylesheets="${STYLESHEETS:-/usr/share/xml/docbook/stylesheet/docbook-xsl}"
stylesheet="$stylesheets/html/docbook.xsl"
dtds=/usr/share/xml/docbook/schema/dtd
skip() {
    echo "docbook.sh: skipped: $*"
    exit 0
}
[ -f "$stylesheet" ] || skip "docbook-xsl is not installed ($stylesheet)"
[ -d "$dtds" ] || skip "docbook-xml is not installed ($dtds)"
[ -d "$tests" ] || skip "no DocBook test documents in $tests (set DOCBOOK_TESTS)"
command -v xsltproc > /dev/null || skip "xsltproc is not installed"
[ -x /usr/bin/time ] || skip "/usr/bin/time is not installed"
tool="$(cd "$build/tools" 2> /dev/null && pwd)/prsm-xslt"
[ -x "$tool" ] || skip "no $tool: build the release preset first"

scratch="${TMPDIR:-/tmp}"
[ -w /dev/shm ] && scratch=/dev/shm
dir="$(mktemp -d -p "$scratch")"
trap 'rm -rf "$dir"' EXIT
# The documents name their DTD by its web address. With catalogs the tool resolves it to the local
# copy as xsltproc does; without, scratch copies name the local copy themselves.
cp -r "$tests" "$dir/docs"
options=()
if "$tool" --help 2>&1 | grep -q -- '--catalog'; then
    options=(--catalog /etc/xml/catalog)
else
    sed -i -E "s#\"https?://www\.oasis-open\.org/docbook/xml/([0-9.]+)/docbookx\.dtd\"#\"file://$dtds/\1/docbookx.dtd\"#" \
        "$dir"/docs/*.xml
fi
cd "$dir/docs"
mkdir -p ../peer ../ours
echo '<empty/>' > ../empty.xml
echo '<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"/>' > ../empty.xsl

# "wall user peak" of the best of $runs runs (peak in KB, the largest seen).
measure() {
    local wall="" user="" peak=0
    for _ in $(seq "$runs"); do
        /usr/bin/time -o ../time -f '%e %U %M' "$@" > /dev/null 2>&1 || true
        read -r w u m < <(tail -n 1 ../time)
        wall=$(awk -v a="$wall" -v b="$w" 'BEGIN { print (a == "" || b < a) ? b : a }')
        user=$(awk -v a="$user" -v b="$u" 'BEGIN { print (a == "" || b < a) ? b : a }')
        ((m > peak)) && peak=$m
    done
    echo "$wall $user $peak"
}
row() { # label, ours, peer
    read -r w u m <<< "$2"
    read -r pw pu pm <<< "$3"
    awk -v l="$1" -v w="$w" -v u="$u" -v m="$m" -v pw="$pw" -v pu="$pu" -v pm="$pm" 'BEGIN {
        printf "  %-24s %6.2f s %5.2fx   user %6.2f s %5.2fx   peak %6.1f MB %5.2fx\n", l, w,
            w / (pw > 0 ? pw : 0.01), u, u / (pu > 0 ? pu : 0.01), m / 1024, m / pm }'
}
peer_row() { # label, peer
    read -r w u m <<< "$2"
    printf '  %-24s %6.2f s          user %6.2f s          peak %6.1f MB\n' "$1" "$w" "$u" \
        "$(echo "$m / 1024" | bc -l)"
}

for family in $families; do
    stylesheet="$stylesheets/$family/docbook.xsl"
    if [ ! -f "$stylesheet" ]; then
        echo "DocBook $family: skipped: no $stylesheet"
        continue
    fi
    rm -rf ../peer/* ../ours/*
    # Only documents that xsltproc transforms: the others test failures, not speed.
    mapfile -t documents < <(printf '%s\n' *.xml | xargs -P "$(nproc)" -I{} sh -c \
        'xsltproc --nonet -o "../peer/$1" "$0" "$1" > /dev/null 2>&1 && echo "$1"' "$stylesheet" {} |
        LC_ALL=C sort)
    if [ "${#documents[@]}" -eq 0 ]; then
        echo "DocBook $family: skipped: xsltproc transforms none of the documents"
        continue
    fi
    one=book.001.xml
    [ -f "$one" ] || one="${documents[0]}"

    peer_batch=$(measure xsltproc --nonet -o ../peer/ "$stylesheet" "${documents[@]}")
    ours_one=$(measure "$tool" "${options[@]}" -j 1 -o ../ours/ "$stylesheet" "${documents[@]}")
    ours_two=$(measure "$tool" "${options[@]}" -j 2 -o ../ours/ "$stylesheet" "${documents[@]}")
    # xsltproc takes -o DIR/ as a folder only for several documents.
    peer_book=$(measure xsltproc --nonet -o "../peer/$one" "$stylesheet" "$one")
    ours_book=$(measure "$tool" "${options[@]}" -o "../ours/$one" "$stylesheet" "$one")

    echo "DocBook: $family/docbook.xsl over ${#documents[@]} documents, best of $runs" \
        "(ratios to xsltproc)"
    peer_row "xsltproc batch" "$peer_batch"
    row "prsm-xslt -j 1" "$ours_one" "$peer_batch"
    row "prsm-xslt -j 2" "$ours_two" "$peer_batch"
    peer_row "xsltproc $one" "$peer_book"
    row "prsm-xslt $one" "$ours_book" "$peer_book"
    # Each tool's start-up and shut-down, measured on an empty document and stylesheet, taken
    # out of the one book: the libraries that Debian's Xerces-C loads (libcurl and its TLS,
    # Kerberos and LDAP chain) cost prsm-xslt some 20 ms before it reads anything.
    peer_empty=$(measure xsltproc --nonet ../empty.xsl ../empty.xml)
    ours_empty=$(measure "$tool" ../empty.xsl ../empty.xml)
    awk -v o="$ours_book" -v p="$peer_book" -v oe="$ours_empty" -v pe="$peer_empty" 'BEGIN {
        split(o, a, " "); split(p, b, " "); split(oe, c, " "); split(pe, d, " ")
        ours = a[1] - c[1]; peer = b[1] - d[1]
        printf "  %-24s %6.2f s %5.2fx   (start-up: prsm-xslt %.3f s, xsltproc %.3f s)\n",
            "start-up excluded", ours, ours / (peer > 0 ? peer : 0.01), c[1], d[1] }'
done
