#!/bin/bash
# Refreshes resources/translators/translate_en.ts from the sources and fills
# every English translation with its source text, so that lrelease ships
# them all. Run after adding or changing user-visible texts.
set -euo pipefail
cd "$(dirname "$0")/.."
/usr/lib/qt6/bin/lupdate -no-obsolete -locations none src resources/qml resources/qmlcontrol \
    -ts resources/translators/translate_en.ts
python3 - <<'PY'
import re, html
path = "resources/translators/translate_en.ts"
text = open(path, encoding="utf-8").read()
def fill(m):
    return m.group(1) + "<translation>" + m.group(2) + "</translation>"
text = re.sub(r'(<source>(.*?)</source>\s*(?:<comment>.*?</comment>\s*)?)<translation type="unfinished">(?:</translation>)?(?:.*?</translation>)?', fill, text, flags=re.S)
open(path, "w", encoding="utf-8").write(text)
PY
