#!/usr/bin/env python3
"""Reads a JUnit file with junitparser, a reader of its own, and prints one line a test case:
"<name> passed" or "<name> failed: <message>". Exits with 77 when junitparser is missing."""
import sys

try:
    from junitparser import JUnitXml, Failure
except ImportError:
    print("junitparser is not installed", file=sys.stderr)
    sys.exit(77)

xml = JUnitXml.fromfile(sys.argv[1])
for suite in xml:
    for case in suite:
        failures = [r for r in case.result if isinstance(r, Failure)]
        if failures:
            print(f"{case.name} failed: {failures[0].message}")
        else:
            print(f"{case.name} passed")
