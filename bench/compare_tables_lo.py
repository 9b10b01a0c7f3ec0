#!/usr/bin/env python3
"""Checks outside CI that tables survive a load and save through the word processor as
another word processor sees them: each fixture is converted with wpconv (load, save as
RTF), then LibreOffice reads the original and the saved copy (soffice --convert-to fodt)
and the tables it finds are compared: rows, cells, cell texts, merges, column widths
(within a twip).

    bench/compare_tables_lo.py [--build BUILD_DIR] FIXTURE.rtf...

Prints one line per fixture and a summary; exits 1 when any table differs."""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

NS = {
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
}
T = "{%s}" % NS["table"]
S = "{%s}" % NS["style"]
TWIPS_PER_UNIT = {"cm": 1440 / 2.54, "mm": 144 / 2.54, "in": 1440.0, "pt": 20.0, "twip": 1.0}


def twips(length):
    match = re.fullmatch(r"([-0-9.]+)([a-z]+)", length or "")
    if not match:
        return None
    return float(match.group(1)) * TWIPS_PER_UNIT.get(match.group(2), 0)


def column_widths(root):
    widths = {}
    for style in root.iter(S + "style"):
        props = style.find(S + "table-column-properties")
        if props is not None:
            widths[style.get(S + "name")] = twips(props.get(S + "column-width"))
    return widths


def cell_text(cell):
    parts = []
    for paragraph in cell.iter():
        if paragraph.tag in ("{%s}p" % NS["text"], "{%s}h" % NS["text"]):
            parts.append("".join(t for t in paragraph.itertext()).strip())
    return "/".join(parts)


def describe_table(table, widths):
    columns = []
    for column in table.findall(T + "table-column") + table.findall(T + "table-columns/" + T + "table-column"):
        repeat = int(column.get(T + "number-columns-repeated", "1"))
        columns += [widths.get(column.get(T + "style-name"))] * repeat
    rows = []
    direct = []
    for child in table:
        if child.tag == T + "table-row":
            direct.append(child)
        elif child.tag in (T + "table-header-rows", T + "table-rows"):
            direct += child.findall(T + "table-row")
    for row in direct:
        cells = []
        for cell in row:
            if cell.tag == T + "table-cell":
                nested = [describe_table(t, widths) for t in cell.findall(T + "table")]
                cells.append((cell_text(cell), int(cell.get(T + "number-columns-spanned", "1")),
                              int(cell.get(T + "number-rows-spanned", "1")), len(nested)))
            elif cell.tag == T + "covered-table-cell":
                cells.append(("^",))
        rows.append(cells)
    return {"columns": columns, "rows": rows}


def tables_of(fodt):
    root = ET.parse(fodt).getroot()
    widths = column_widths(root)
    body = root.find("office:body/office:text", NS)
    return [describe_table(t, widths) for t in body.iter(T + "table")]


def to_fodt(rtf, folder, profile):
    subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", "fodt",
                    "--outdir", folder, rtf], check=True, capture_output=True, timeout=300)
    return os.path.join(folder, os.path.splitext(os.path.basename(rtf))[0] + ".fodt")


def compare(original, saved):
    problems = []
    if len(original) != len(saved):
        return ["%d tables, %d after saving" % (len(original), len(saved))]
    for index, (a, b) in enumerate(zip(original, saved)):
        if a["rows"] != b["rows"]:
            problems.append("table %d cells differ:\n    %s\n    %s" % (index + 1, a["rows"], b["rows"]))
        if len(a["columns"]) != len(b["columns"]) or any(
                x is None or y is None or abs(x - y) > 1.0 for x, y in zip(a["columns"], b["columns"])):
            problems.append("table %d widths differ: %s / %s" % (index + 1, a["columns"], b["columns"]))
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("fixtures", nargs="+")
    args = parser.parse_args()
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        profile = os.path.join(work, "profile")
        for fixture in args.fixtures:
            name = os.path.splitext(os.path.basename(fixture))[0]
            saved = os.path.join(work, name + "_saved.rtf")
            subprocess.run([os.path.join(args.build, "wpconv"), fixture, saved], check=True, timeout=300)
            original_dir = os.path.join(work, "original")
            saved_dir = os.path.join(work, "saved")
            os.makedirs(original_dir, exist_ok=True)
            os.makedirs(saved_dir, exist_ok=True)
            before = tables_of(to_fodt(fixture, original_dir, profile))
            after = tables_of(to_fodt(saved, saved_dir, profile))
            problems = compare(before, after)
            cells = sum(len(row) for table in before for row in table["rows"])
            print("%-40s %2d tables %3d cells  %s" % (name, len(before), cells, "same" if not problems else "DIFFERENT"))
            for problem in problems:
                print("  " + problem)
            failed += bool(problems)
    print("%d of %d fixtures keep their tables" % (len(args.fixtures) - failed, len(args.fixtures)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
