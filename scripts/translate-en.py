#!/usr/bin/python3
# Fills English translations into the catalogue: translate-en.py FILE.ts
# "source=translation" pairs on standard input, one per line ("\n" for a
# line break inside a text). Only entries still unfinished are touched.
import sys
import xml.etree.ElementTree as ET

path = sys.argv[1]
pairs = {}
for line in sys.stdin:
    line = line.rstrip('\n')
    if not line or '=' not in line:
        continue
    src, dst = line.split('=', 1)
    pairs[src.replace('\\n', '\n')] = dst.replace('\\n', '\n')

tree = ET.parse(path)
done = 0
for m in tree.getroot().iter('message'):
    src = m.find('source').text
    t = m.find('translation')
    if src in pairs and t is not None and (t.get('type') == 'unfinished' or not (t.text or '').strip()):
        t.text = pairs[src]
        t.attrib.pop('type', None)
        done += 1
with open(path, 'w', encoding='utf-8') as f:
    f.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
    f.write(ET.tostring(tree.getroot(), encoding='unicode'))
    f.write('\n')
print(f"{done} translated")
