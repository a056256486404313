#!/usr/bin/env python3
"""Runs the conformance cases of xalan-test (tests/conf/<group>/<case>.xsl with <case>.xml) with
prsm-xslt and with the engine's own tool, Xalan, and lists the cases whose results differ.

    scripts/xalan-conf-compare.py --tests DIR [--tool build/ci/tools/prsm-xslt] [--compatible]

DIR is xalan-test's tests folder (it holds conf/ and conf-gold/); a case runs in its own folder,
as the cases expect, so DIR must be writable. prsm-xslt runs with --strict unless --compatible is
given. Each differing case says which of the two results equals xalan-test's expected result in
conf-gold/, where one does (compared without line breaks). Exits 0, after a message, where Xalan
or DIR is missing.
"""
import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def output(command, folder):
    try:
        done = subprocess.run(command, cwd=folder, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, timeout=60)
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired:
        return -1, b''


def run(case, args):
    folder, name = os.path.dirname(case), os.path.basename(case)[:-4]
    tool = [args.tool, '-q'] + ([] if args.compatible else ['--strict'])
    ours = output(tool + [name + '.xsl', name + '.xml'], folder)
    theirs = output(['Xalan', name + '.xml', name + '.xsl'], folder)
    # Both refusing a case agrees, whatever the statuses say.
    if ours == theirs or (ours[0] != 0 and theirs[0] != 0):
        return None
    gold = os.path.join(args.tests, 'conf-gold', os.path.basename(folder), name + '.out')
    right = ''
    if os.path.exists(gold):
        with open(gold, 'rb') as f:
            expected = f.read().replace(b'\n', b'').replace(b'\r', b'')
        for who, (status, text) in (('prsm-xslt', ours), ('Xalan', theirs)):
            if status == 0 and text.replace(b'\n', b'').replace(b'\r', b'') == expected:
                right += ' %s matches conf-gold' % who
    return '%s/%s: status %d and %d;%s' % (os.path.basename(folder), name, ours[0], theirs[0],
                                           right or ' neither matches conf-gold')


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--tests', required=True, help="xalan-test's tests folder")
    parser.add_argument('--tool', default=os.path.join(ROOT, 'build/ci/tools/prsm-xslt'))
    parser.add_argument('--compatible', action='store_true',
                        help='run prsm-xslt without --strict')
    parser.add_argument('-j', '--jobs', type=int, default=2)
    args = parser.parse_args()
    conf = os.path.join(args.tests, 'conf')
    if not os.path.isdir(conf) or shutil.which('Xalan') is None:
        print('skipped: %s or Xalan is missing' % conf)
        return 0
    args.tool = os.path.abspath(args.tool)
    cases = sorted(os.path.join(base, n) for base, _, names in os.walk(conf) for n in names
                   if n.endswith('.xsl') and os.path.exists(os.path.join(base, n[:-4] + '.xml')))
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        differing = [d for d in pool.map(lambda c: run(c, args), cases) if d]
    print('%d cases, %d differ from Xalan' % (len(cases), len(differing)))
    for line in differing:
        print('  ' + line)
    return 0


if __name__ == '__main__':
    sys.exit(main())
