#!/bin/bash
# Redraws the program's icon, the pictures of the order pages and the interface sounds from the sources
# in this folder, installing the few packages that takes. Not part of the build: the results are
# committed (app/resources/, pages/); run this after changing a drawing or a sound, and look at them.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
"$ROOT/scripts/install-packages.sh" art
/usr/bin/python3 "$ROOT/tools/art/make_sounds.py" "$ROOT/app/resources"
/usr/bin/python3 "$ROOT/tools/art/make_art.py" "$ROOT"
