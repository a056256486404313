#!/usr/bin/env bash
# Stylesheet reuse end to end: the library's paths against the engine's compiled transformer, then
# prsm-xslt over 2,000 small generated documents with one and two workers against xsltproc.
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
for i in $(seq -w 1 2000); do
    printf '<catalogue><item id="1" price="3"><name>One %s</name></item><item id="2" price="9">' "$i"
    printf '<name>Two</name></item><item id="3" price="5"><name>Three</name></item></catalogue>\n'
done > "$dir/all.txt"
split -l 1 -a 4 --additional-suffix=.xml "$dir/all.txt" "$dir/d"
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
cd "$dir"
peer=$(best xsltproc style.xsl d*.xml)
one=$(best "$tool" -j 1 style.xsl d*.xml)
two=$(best "$tool" -j 2 style.xsl d*.xml)
printf 'xsltproc, 2,000 documents:       %6.3f s\n' "$peer"
printf 'prsm-xslt -j 1:                  %6.3f s  (%.2fx xsltproc)\n' "$one" "$(echo "$one / $peer" | bc -l)"
printf 'prsm-xslt -j 2:                  %6.3f s  (%.2fx xsltproc, %.2fx faster than -j 1)\n' \
    "$two" "$(echo "$two / $peer" | bc -l)" "$(echo "$one / $two" | bc -l)"
