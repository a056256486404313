#!/bin/sh
# What help2man reads of the tool: its own --help and --version, with the exit statuses headed as
# a section of the page rather than a paragraph of the options.
"$PRSM_TOOL" "$@" | sed 's/^Exit status:$/*Exit status*/'
