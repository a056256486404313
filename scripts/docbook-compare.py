#!/usr/bin/env python3
"""Renders the DocBook project's test documents with prsm-xslt and with xsltproc --nonet, through
DocBook XSL's html/docbook.xsl and the system's XML catalogs, and counts the documents that
prsm-xslt renders and those whose content matches. Generated ids, entity spelling, the HTML
writer's letter case and stray namespace declarations are set aside.

    scripts/docbook-compare.py [--tool build/ci/tools/prsm-xslt] [--tests DIR] [--show N]

Exits 0 after printing the counts, also when DocBook XSL or the test documents are missing
(then it says so and skips)."""

import argparse
import concurrent.futures
import html
import os
import re
import subprocess
import sys
import tempfile

STYLESHEET = "/usr/share/xml/docbook/stylesheet/docbook-xsl/html/docbook.xsl"
TESTS = "/work/docbook-tests/testdocs/tests"


def run(command, cwd):
    try:
        done = subprocess.run(command, cwd=cwd, capture_output=True, timeout=300)
    except subprocess.TimeoutExpired:
        return None, b"timed out"
    return (done.stdout if done.returncode == 0 else None), done.stderr


def normalised(output):
    # xsltproc writes the ISO-8859-1 its HTML output declares; the tool may write UTF-8.
    try:
        text = output.decode("utf-8")
    except UnicodeDecodeError:
        text = output.decode("iso-8859-1")
    text = re.sub(r'\sxmlns(:\w+)?="[^"]*"', "", text)
    # generate-id() differs by engine: xsltproc's idm1234 or id1234, the engine's N0x12abN0x34cd.
    text = re.sub(r"\b(idm?\d+|(N0x[0-9a-fA-F]+)+|N[0-9A-F]{3,})\b", "ID", text)
    text = html.unescape(text).lower()
    # The writers break lines and indent differently around block elements.
    text = re.sub(r"\s+", " ", text)
    return re.sub(r" ?(<[^>]*>) ?", r"\1", text).strip()


def compare(tool, folder, name):
    # Each run in a folder of its own: the chunker writes the long descriptions of images there.
    document = os.path.join(folder, name)
    with tempfile.TemporaryDirectory() as scratch:
        reference, _ = run(["xsltproc", "--nonet", STYLESHEET, document], scratch)
    if reference is None:
        return name, "reference-fails", b""
    with tempfile.TemporaryDirectory() as scratch:
        ours, errors = run([tool, STYLESHEET, document], scratch)
    if ours is None:
        return name, "fails", errors
    return name, ("matches" if normalised(ours) == normalised(reference) else "differs"), b""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default="build/ci/tools/prsm-xslt")
    parser.add_argument("--tests", default=TESTS)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--show", type=int, default=10, help="list up to N failures")
    options = parser.parse_args()
    if not os.path.exists(STYLESHEET) or not os.path.isdir(options.tests):
        print("skipped: needs docbook-xsl, docbook-xml and the DocBook test documents")
        return 0
    tool = os.path.abspath(options.tool)
    options.tests = os.path.abspath(options.tests)
    names = sorted(n for n in os.listdir(options.tests) if n.endswith(".xml"))
    with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
        results = list(pool.map(lambda n: compare(tool, options.tests, n), names))
    counts = {}
    for _, outcome, _ in results:
        counts[outcome] = counts.get(outcome, 0) + 1
    rendered = len(names) - counts.get("reference-fails", 0)
    ours = counts.get("matches", 0) + counts.get("differs", 0)
    print(f"documents: {len(names)}; xsltproc --nonet renders {rendered}")
    print(f"prsm-xslt renders {ours} of those {rendered}; content matches for "
          f"{counts.get('matches', 0)}, differs for {counts.get('differs', 0)}")
    shown = 0
    for name, outcome, errors in results:
        if outcome in ("fails", "differs") and shown < options.show:
            first = errors.decode("utf-8", "replace").strip().splitlines()[:1]
            print(f"  {outcome}: {name}" + (f": {first[0]}" if first else ""))
            shown += 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
