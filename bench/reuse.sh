#!/usr/bin/env bash
# Stylesheet reuse end to end: the library's paths against the engine's compiled transformer, then
# prsm-xslt over 2,000 small generated documents (of about 200 bytes, then about 1 KB) with one
# and two workers against xsltproc, after the start-up that every run pays once.
# Usage: bench/reuse.sh [build dir]   (build/release by default; build it with the release preset)
set -euo pipefail
build="${1:-build/release}"
# Files in memory when the machine allows: a page cache that reclaims idle files, or a journal,
# would otherwise time the disk, not the transformations.
scratch="${TMPDIR:-/tmp}"
[ -w /dev/shm ] && scratch=/dev/shm
TMPDIR="$scratch" "$build/bench/bench_stylesheet_reuse"

dir="$(mktemp -d -p "$scratch")"
trap 'rm -rf "$dir"' EXIT
cat > "$dir/style.xsl" <<'XSL'
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html"/>
  <xsl:template match="/"><table><xsl:for-each select="catalogue/item">
    <xsl:sort select="@price" data-type="number" order="descending"/>
    <tr><td><xsl:value-of select="name"/></td><td><xsl:value-of select="@price"/></td></tr>
  </xsl:for-each></table></xsl:template>
</xsl:stylesheet>
XSL
tool="$(cd "$build/tools" && pwd)/prsm-xslt"
best() { # fastest of five runs of the command, in seconds
    local min=""
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        min=$(echo "$end - $start" | bc | awk -v m="$min" '{ print (m == "" || $1 < m) ? $1 : m }')
    done
    echo "$min"
}
# 2,000 catalogues of $1 items each in folder $2.
documents() {
    mkdir -p "$2"
    for i in $(seq -w 1 2000); do
        printf '<catalogue>'
        for k in $(seq 1 "$1"); do
            printf '<item id="%d" price="%d"><name>Item %s %d</name></item>' "$k" $((k * 7 % 13)) "$i" "$k"
        done
        printf '</catalogue>\n'
    done > "$2/all.txt"
    (cd "$2" && split -l 1 -a 4 --additional-suffix=.xml all.txt d && rm all.txt)
}
cd "$dir"
documents 1 one
printf 'one document, start-up included: xsltproc %.3f s, prsm-xslt %.3f s\n' \
    "$(best xsltproc style.xsl one/daaaa.xml)" "$(best "$tool" style.xsl one/daaaa.xml)"
for items in 3 20; do
    documents "$items" "items$items"
    peer=$(best xsltproc style.xsl items$items/d*.xml)
    one=$(best "$tool" -j 1 style.xsl items$items/d*.xml)
    two=$(best "$tool" -j 2 style.xsl items$items/d*.xml)
    printf '2,000 documents of %s bytes:\n' "$(wc -c < "items$items/daaaa.xml")"
    printf '  xsltproc:                       %6.3f s\n' "$peer"
    printf '  prsm-xslt -j 1:                 %6.3f s  (%.2fx xsltproc)\n' "$one" \
        "$(echo "$one / $peer" | bc -l)"
    printf '  prsm-xslt -j 2:                 %6.3f s  (%.2fx xsltproc, %.2fx faster than -j 1)\n' \
        "$two" "$(echo "$two / $peer" | bc -l)" "$(echo "$one / $two" | bc -l)"
done
