#!/usr/bin/env python3
"""Runs a DocBook XSL stylesheet family over the DocBook test documents with prsm-xslt and with
xsltproc, and counts the pages that differ in content.

    scripts/docbook-compare.py [--family html] [--tool build/ci/tools/prsm-xslt]
                               [--tests DIR] [--work DIR] [--show N] [--strict]

Families: html xhtml xhtml-1_1 xhtml5 fo epub epub3 htmlhelp javahelp eclipse manpages. Each document runs in a folder of its
own per tool, so families that write their pages to files (chunks, man pages) compare every file
they write; a family that writes to standard output compares that. Pages that are XML compare as
canonical XML; others after character and entity references become characters, HTML tag and
attribute names go to lower case and white space between tags goes. Generated ids are numbered
in order of appearance first. The test
documents name their DTD on the web: each is copied into the work folder with its system id
pointed at the local copy under /usr/share/xml/docbook/schema/dtd. Exits 0, after a message,
where docbook-xsl, the test documents or xsltproc are missing.
"""
import argparse
import concurrent.futures
import html
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

STYLESHEETS = '/usr/share/xml/docbook/stylesheet/docbook-xsl'
DTDS = '/usr/share/xml/docbook/schema/dtd'
# The families that write one page to standard output; prsm-xslt runs these over all documents at
# once, compiling the stylesheet once.
SINGLE_PAGE = {'html', 'xhtml', 'xhtml-1_1', 'xhtml5', 'fo'}
FAMILIES = {
    'html': 'html/docbook.xsl', 'xhtml': 'xhtml/docbook.xsl', 'xhtml5': 'xhtml5/docbook.xsl',
    'fo': 'fo/docbook.xsl', 'epub': 'epub/docbook.xsl', 'epub3': 'epub3/chunk.xsl',
    'htmlhelp': 'htmlhelp/htmlhelp.xsl', 'manpages': 'manpages/docbook.xsl',
    'xhtml-1_1': 'xhtml-1_1/docbook.xsl', 'javahelp': 'javahelp/javahelp.xsl',
    'eclipse': 'eclipse/eclipse.xsl',
}
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def localised(source, target):
    """Copies the document `source` to `target` with its DTD system id made local."""
    with open(source, 'rb') as f:
        text = f.read()

    def local(match):
        version = match.group(1).decode()
        path = os.path.join(DTDS, version, 'docbookx.dtd')
        return b'"' + path.encode() + b'"' if os.path.exists(path) else match.group(0)

    text = re.sub(rb'"http://www\.oasis-open\.org/docbook/xml/([0-9.]+)/docbookx\.dtd"', local, text)
    with open(target, 'wb') as f:
        f.write(text)


ID = re.compile(r'(?<![A-Za-z0-9])(?:id(?:m?\d+(?:d\d+)?(?![0-9])|-?[0-9a-f]{6,}\b)|'
                r'N0x[0-9a-f]+(?:N0x[0-9a-f]+)*\b|N[0-9A-F]{4,}\b|d\d+e\d+\b)')
TAG = re.compile(r'<(/?)([A-Za-z][\w:.-]*)((?:[^<>"\']|"[^"]*"|\'[^\']*\')*)>')
ATTRIBUTE = re.compile(r'\s*([\w:.-]+)\s*=\s*("[^"]*"|\'[^\']*\'|[^\s"\'>]+)')


def canonical(text):
    """The canonical XML of a page that is XML (FO, XHTML), with generated ids numbered. xsltproc's
    writer adds a Content-Type meta element to the head of a page with an XHTML 1 document type,
    as libxml2 does for XHTML; it goes here, as in `normalised`."""
    text = re.sub(r'<meta [^>]*charset[^>]*>', '', text, flags=re.I)
    try:
        if '-//W3C//DTD XHTML 1' in text[:1000]:
            text = appendix_c(text)
        text = ElementTree.canonicalize(text, strip_text=True)
    except ElementTree.ParseError:
        return None
    ids = {}
    return ID.sub(lambda m: ids.setdefault(m.group(0), 'ID%d' % len(ids)), text)


XHTML = '{http://www.w3.org/1999/xhtml}'
XML_LANG = '{http://www.w3.org/XML/1998/namespace}lang'
NAMED = {'a', 'p', 'div', 'img', 'map', 'applet', 'form', 'frame', 'iframe'}


def appendix_c(text):
    """A page with an XHTML 1 document type as libxml2 writes it for xsltproc (xmlsave.c,
    xhtmlAttrListDumpOutput, after XHTML 1.0 Appendix C): lang and xml:lang each added where only
    the other is there, and an id where a named element of NAMED has none."""
    root = ElementTree.fromstring(text)
    for element in root.iter():
        attributes = element.attrib
        if 'lang' in attributes and XML_LANG not in attributes:
            attributes[XML_LANG] = attributes['lang']
        elif XML_LANG in attributes and 'lang' not in attributes:
            attributes['lang'] = attributes[XML_LANG]
        local = element.tag[len(XHTML):] if element.tag.startswith(XHTML) else element.tag
        if 'name' in attributes and 'id' not in attributes and local in NAMED:
            attributes['id'] = attributes['name']
    return ElementTree.tostring(root, encoding='unicode')


def same(a, b):
    ca, cb = canonical(a), canonical(b)
    if ca is not None and cb is not None:
        return ca == cb
    return normalised(a) == normalised(b)


def normalised(text):
    ids = {}
    text = ID.sub(lambda m: ids.setdefault(m.group(0), 'ID%d' % len(ids)), text)
    text = re.sub(r'<\?xml[^>]*\?>', '', text)
    text = re.sub(r'<!DOCTYPE[^>]*>', '', text, flags=re.I)
    text = re.sub(r'<meta [^>]*charset[^>]*>', '', text, flags=re.I)

    def attribute(a):
        value = a.group(2)
        if value[:1] in '"\'':
            value = value[1:-1]
        return ' %s="%s"' % (a.group(1).lower(), html.unescape(value))

    def tag(m):
        # Either quote may delimit a value, and references may spell its characters.
        attributes = ATTRIBUTE.sub(attribute, m.group(3))
        attributes = re.sub(r'\s+', ' ', attributes).rstrip(' /')
        return '<' + m.group(1) + m.group(2).lower() + attributes + '>'
    text = TAG.sub(tag, text)
    text = html.unescape(text)
    text = re.sub(r'>\s+<', '><', text)
    return re.sub(r'\s+', ' ', text).strip()


def declared(text):
    return set(re.findall(r'xmlns:([\w.-]+)=', text))


def run(command, folder):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, '_stdout'), 'wb') as out:
        done = subprocess.run(command, cwd=folder, stdout=out, stderr=subprocess.PIPE, timeout=600)
    return done.returncode, done.stderr.decode(errors='replace')


def pages(folder):
    found = {}
    for base, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            path = os.path.join(base, name)
            if os.path.getsize(path) == 0 and name == '_stdout':
                continue
            with open(path, 'rb') as f:
                data = f.read()
            # Files named by a generated id (long descriptions) compare by the rest of their name.
            page = ID.sub('ID', os.path.relpath(path, folder))
            while page in found:
                page += "'"
            try:
                text = data.decode('utf-8')
            except UnicodeDecodeError:  # the HTML family writes ISO-8859-1
                text = data.decode('latin-1')
            # Side files may be named after generated ids (ld-<id>.html).
            found[ID.sub('ID', os.path.relpath(path, folder))] = text
    return found


def compare(document, args, stylesheet):
    name = os.path.basename(document)[:-4]
    source = os.path.join(args.work, 'docs', name + '.xml')
    ours = os.path.join(args.work, args.family, 'prsm', name)
    theirs = os.path.join(args.work, args.family, 'xsltproc', name)
    status, their_status, errors = 0, 0, ''
    if not args.reuse:
        shutil.rmtree(theirs, ignore_errors=True)
        if args.family not in SINGLE_PAGE:
            shutil.rmtree(ours, ignore_errors=True)
            tool = [args.tool] + (['--strict'] if args.strict else []) + [stylesheet, source]
            status, errors = run(tool, ours)
        else:
            status, errors = args.batch.get(name, (0, ''))
        their_status, _ = run(['xsltproc', '--nonet', stylesheet, source], theirs)
        if args.family in SINGLE_PAGE and len(pages(theirs)) > 1:
            # The batch run writes every document's side files into one folder: write this
            # document's again, alone, in its own.
            tool = [args.tool] + (['--strict'] if args.strict else []) + [stylesheet, source]
            status, errors = run(tool, ours)
    mine, reference = pages(ours), pages(theirs)
    differing, stray = [], []
    for page in sorted(set(mine) | set(reference)):
        a, b = mine.get(page, ''), reference.get(page, '')
        if not same(a, b):
            differing.append(page)
        if declared(a) - declared(b):
            stray.append(page)
    return name, status, their_status, errors, differing, stray


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--family', default='html', choices=sorted(FAMILIES))
    parser.add_argument('--stylesheets', default=STYLESHEETS,
                        help='the stylesheet suite, e.g. docbook-xsl-ns beside docbook-xsl')
    parser.add_argument('--tool', default=os.path.join(ROOT, 'build/ci/tools/prsm-xslt'))
    parser.add_argument('--tests', default='/work/docbook-tests/testdocs/tests')
    parser.add_argument('--work', default='/tmp/docbook-compare')
    parser.add_argument('--show', type=int, default=10, help='list this many differing pages')
    parser.add_argument('--strict', action='store_true', help='pass --strict to prsm-xslt')
    parser.add_argument('--reuse', action='store_true',
                        help='compare the pages of the last run again, without running')
    parser.add_argument('-j', '--jobs', type=int, default=2)
    args = parser.parse_args()

    stylesheet = os.path.join(args.stylesheets, FAMILIES[args.family])
    for needed, what in ((stylesheet, 'docbook-xsl'), (args.tests, 'the DocBook test documents')):
        if not os.path.exists(needed):
            print('skipped: %s is missing (%s)' % (what, needed))
            return 0
    if shutil.which('xsltproc') is None:
        print('skipped: xsltproc is missing')
        return 0
    if not os.access(args.tool, os.X_OK):
        print('no tool at %s: build prsm-xslt first' % args.tool)
        return 1

    os.makedirs(os.path.join(args.work, 'docs'), exist_ok=True)
    documents = sorted(os.path.join(args.tests, n) for n in os.listdir(args.tests)
                       if n.endswith('.xml'))
    for document in documents:
        localised(document, os.path.join(args.work, 'docs', os.path.basename(document)))
    for entry in os.listdir(args.tests):
        path = os.path.join(args.tests, entry)
        target = os.path.join(args.work, 'docs', entry)
        if not entry.endswith('.xml') and not os.path.exists(target):
            (shutil.copytree if os.path.isdir(path) else shutil.copy)(path, target)

    # A copy of the tool and its library, so that rebuilding them meanwhile does not disturb the
    # run; the library is found through LD_LIBRARY_PATH before the tool's RUNPATH.
    if not args.reuse:
        library = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.tool))),
                               'src', 'libPRSM_XSLTransformer.so.1')
        for original in (args.tool, library):
            if os.path.exists(original):
                copy = os.path.join(args.work, os.path.basename(original))
                shutil.copy(original, copy + '.new')
                os.replace(copy + '.new', copy)
        os.environ['LD_LIBRARY_PATH'] = os.pathsep.join(
            [args.work] + [p for p in os.environ.get('LD_LIBRARY_PATH', '').split(os.pathsep) if p])
        args.tool = os.path.join(args.work, os.path.basename(args.tool))
    args.batch = {}
    if args.family in SINGLE_PAGE and not args.reuse:
        batch = os.path.join(args.work, args.family, 'prsm-batch')
        shutil.rmtree(batch, ignore_errors=True)
        os.makedirs(batch)
        sources = [os.path.join(args.work, 'docs', os.path.basename(d)) for d in documents]
        done = subprocess.run([args.tool, '-q', '-j', str(args.jobs), '-o', batch + '/'] +
                              (['--strict'] if args.strict else []) + [stylesheet] + sources,
                              cwd=batch, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        complaints = done.stderr.decode(errors='replace').splitlines()
        for document in documents:
            name = os.path.basename(document)[:-4]
            folder = os.path.join(args.work, args.family, 'prsm', name)
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            written = os.path.join(batch, name + '.xml')
            if os.path.exists(written):
                os.rename(written, os.path.join(folder, '_stdout'))
            else:
                open(os.path.join(folder, '_stdout'), 'w').close()
                said = [c for c in complaints if '/%s.xml:' % name in c]
                args.batch[name] = (1, said[-1] if said else 'no result')

    failed, differing, stray, pages_differing = [], [], [], 0
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for name, status, their_status, errors, diff, strays in pool.map(
                lambda d: compare(d, args, stylesheet), documents):
            if status != 0 and their_status == 0:
                failed.append((name, errors.strip().splitlines()[-1:] or ['']))
            elif diff:
                differing.append((name, diff))
                pages_differing += len(diff)
            if strays:
                stray.append(name)
    print('%s: %d documents, %d fail with prsm-xslt alone, %d differ in content (%d pages), '
          '%d declare namespaces xsltproc leaves out'
          % (args.family, len(documents), len(failed), len(differing), pages_differing,
             len(stray)))
    for name, last in failed[:args.show]:
        print('  failed: %s: %s' % (name, last[0]))
    for name, diff in differing[:args.show]:
        print('  differs: %s: %s' % (name, ' '.join(diff[:5])))
    for name in stray[:args.show]:
        print('  stray namespace: %s' % name)
    return 0


if __name__ == '__main__':
    sys.exit(main())
