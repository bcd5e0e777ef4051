#!/usr/bin/env bash
# Merges the texts of the sources into both translation catalogues and lists
# the English entries that still need a translation.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
"$lupdate" -locations none -no-obsolete "$top/src/app" "$top/src/core" \
  -ts "$top/translations/Ivra_Configuration_ru_RU.ts" "$top/translations/Ivra_Configuration_en_US.ts" >/dev/null
/usr/bin/python3 - "$top/translations/Ivra_Configuration_en_US.ts" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
for ctx in root.iter('context'):
    name = ctx.find('name').text
    for m in ctx.iter('message'):
        t = m.find('translation')
        if t is None or t.get('type') == 'unfinished' or not (t.text or '').strip():
            print(f"untranslated: {name}: {m.find('source').text!r}")
PY
