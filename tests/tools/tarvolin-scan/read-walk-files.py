#!/usr/bin/env python3
# Reads a WiGLE CSV log, a KML map and (optionally) a --log table back with
# Python's own csv and XML readers, which share nothing with tarvolin-scan's
# writers, and prints what they hold as one JSON object:
#   {"preheader": "...", "columns": [...], "rows": [[...], ...], "lines": N,
#    "placemarks": [{"name", "description", "style", "coordinates", "when"}, ...],
#    "table": [[header...], [row...], ...]}
# Either of the first two paths may be "-" to leave that file out. A file
# that is not strict UTF-8, not RFC 4180 CSV or not well-formed XML ends the
# script with status 1 and the reason on stderr.
import csv
import json
import sys
import xml.etree.ElementTree as ElementTree

KML = "{http://www.opengis.net/kml/2.2}"


def read_wigle(path):
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        text = f.read()
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        preheader = f.readline().rstrip("\r\n")
        rows = list(csv.reader(f, strict=True))
    return {
        "preheader": preheader,
        "columns": rows[0] if rows else [],
        "rows": rows[1:],
        "lines": text.count("\n"),
        "ends_with_line_end": text.endswith("\n"),
    }


def read_kml(path):
    root = ElementTree.parse(path).getroot()
    if root.tag != KML + "kml":
        raise ValueError("the root element is " + root.tag)
    marks = []
    for mark in root.iter(KML + "Placemark"):
        marks.append({
            "name": mark.findtext(KML + "name"),
            "description": mark.findtext(KML + "description"),
            "style": mark.findtext(KML + "styleUrl"),
            "coordinates": mark.findtext(KML + "Point/" + KML + "coordinates"),
            "when": mark.findtext(KML + "TimeStamp/" + KML + "when"),
        })
    styles = [style.get("id") for style in root.iter(KML + "Style")]
    return {"placemarks": marks, "styles": styles}


def read_table(path):
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        text = f.read()
    if text and not text.endswith("\r\n"):
        raise ValueError("the table's last line has no CR LF")
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        return {"table": list(csv.reader(f, strict=True))}


def main():
    result = {}
    try:
        if sys.argv[1] != "-":
            result.update(read_wigle(sys.argv[1]))
        if sys.argv[2] != "-":
            result.update(read_kml(sys.argv[2]))
        if len(sys.argv) > 3:
            result.update(read_table(sys.argv[3]))
    except Exception as error:  # any failure to parse is the finding
        print(type(error).__name__ + ": " + str(error), file=sys.stderr)
        return 1
    print(json.dumps(result))
    return 0


if __name__ == "__main__":
    sys.exit(main())
