#!/bin/bash
# Refreshes resources/translators/translate_en.ts from the sources and fills
# every English translation with its source text, so that lrelease ships
# them all. Run after adding or changing user-visible texts.
set -euo pipefail
cd "$(dirname "$0")/.."
/usr/lib/qt6/bin/lupdate -no-obsolete -locations none src resources/qml resources/qmlcontrol \
    -ts resources/translators/translate_en.ts
python3 - <<'PY'
import re
path = "resources/translators/translate_en.ts"
text = open(path, encoding="utf-8").read()
def fill(message):
    block = message.group(0)
    if 'type="unfinished"' not in block:
        return block
    source = re.search(r"<source>(.*?)</source>", block, flags=re.S).group(1)
    return re.sub(r'<translation type="unfinished"(?:/>|>.*?</translation>)',
                  lambda _: "<translation>" + source + "</translation>", block, flags=re.S)
text = re.sub(r"<message>.*?</message>", fill, text, flags=re.S)
open(path, "w", encoding="utf-8").write(text)
PY
