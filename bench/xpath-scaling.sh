#!/usr/bin/env bash
# XPath over many siblings: each expression over a document of N and of 4N elements, prsm-xslt
# against xsltproc. Time that grows by about 4 grows linearly; by 16, with the square of the size.
# Usage: bench/xpath-scaling.sh [N] [build dir]   (N = 50000; build dir build/release)
set -euo pipefail
n="${1:-50000}"
build="${2:-build/release}"
tool="$(cd "$build/tools" 2> /dev/null && pwd)/prsm-xslt"
[ -x "$tool" ] || { echo "xpath-scaling.sh: skipped: no $tool (build the release preset)"; exit 0; }
command -v xsltproc > /dev/null || { echo "xpath-scaling.sh: skipped: no xsltproc"; exit 0; }
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
for size in "$n" $((4 * n)); do
    python3 -c "import sys; n = int(sys.argv[1]); print('<r>' + ''.join(
        '<a n=\"%d\">t%d</a>' % (i * 7919 % 1000, i) for i in range(n)) + '</r>')" "$size" \
        > "$dir/$size.xml"
done
expressions=(
    "count(//a[position() mod 2 = 0])"
    "sum(//a/@n)"
    "count(/r/a/text())"
    "count(//a[following-sibling::a[1]/@n &gt; @n])"
    "count(//a[preceding-sibling::a[2]/@n = @n])"
    "string-length(string(/))"
    "count(//a[generate-id() = generate-id(key('k', @n)[1])])"
)
user() { /usr/bin/time -f %U -o "$dir/time" "$@" > /dev/null 2>&1 || true; cat "$dir/time"; }
printf '%-58s %10s %10s %10s %10s\n' expression "ours N" "ours 4N" "xsltproc N" "xsltproc 4N"
for e in "${expressions[@]}"; do
    printf '%s\n' '<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">' \
        '<xsl:key name="k" match="a" use="@n"/><xsl:template match="/">' \
        "<xsl:value-of select=\"$e\"/></xsl:template></xsl:stylesheet>" > "$dir/s.xsl"
    printf '%-58s %10s %10s %10s %10s\n' "$e" \
        "$(user "$tool" "$dir/s.xsl" "$dir/$n.xml")" "$(user "$tool" "$dir/s.xsl" "$dir/$((4 * n)).xml")" \
        "$(user xsltproc "$dir/s.xsl" "$dir/$n.xml")" "$(user xsltproc "$dir/s.xsl" "$dir/$((4 * n)).xml")"
done
