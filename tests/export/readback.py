"""Reads an export back with tools that share no code with the program, and prints what it
found as plain lines for the test to compare.

    readback.py csv FILE DELIMITER   header, then each row as repr() of its fields
    readback.py json FILE            each record's keys with the JSON type of their values
    readback.py xlsx FILE            sheets, header, typed cells, frozen pane, bold, charts
"""
import csv
import json
import sys


def read_csv(path, delimiter):
    with open(path, newline="", encoding="utf-8") as f:
        text = f.read()
    if text.startswith("\ufeff"):
        print("bom")
        text = text[1:]
    rows = list(csv.reader(text.splitlines(keepends=True), delimiter=delimiter, strict=True))
    print("header", rows[0])
    print("rows", len(rows) - 1)
    widths = {len(r) for r in rows}
    print("widths", sorted(widths))
    for r in rows[1:]:
        print("row", r)


def kind(value):
    if value is None:
        return "null"
    if isinstance(value, bool):
        return "bool"
    if isinstance(value, (int, float)):
        return "number"
    return "string"


JSON_TYPES = {"object": dict, "array": list, "string": str, "null": type(None),
              "number": (int, float), "integer": int}


def conforms(value, schema):
    """The parts of JSON Schema that docs/export.schema.json uses: type, required,
    properties, additionalProperties, items, minimum and maximum."""
    types = schema.get("type")
    if types is not None:
        types = types if isinstance(types, list) else [types]
        if isinstance(value, bool) or not any(isinstance(value, JSON_TYPES[t]) for t in types):
            return False
    if isinstance(value, (int, float)):
        if value < schema.get("minimum", value) or value > schema.get("maximum", value):
            return False
    if isinstance(value, dict):
        if any(k not in value for k in schema.get("required", [])):
            return False
        props = schema.get("properties", {})
        extra = schema.get("additionalProperties", True)
        for k, v in value.items():
            if k in props:
                if not conforms(v, props[k]):
                    return False
            elif extra is False or (isinstance(extra, dict) and not conforms(v, extra)):
                return False
    if isinstance(value, list) and "items" in schema:
        return all(conforms(v, schema["items"]) for v in value)
    return True


def read_json(path, schema_path=None):
    with open(path, encoding="utf-8") as f:
        doc = json.load(f)
    docs = doc if isinstance(doc, list) else [doc]
    if schema_path:
        with open(schema_path, encoding="utf-8") as f:
            schema = json.load(f)
        print("schema", all(conforms(d, schema) for d in docs))
    for d in docs:
        print("mode", d["mode"], "page", d["page"], "version", d["version"],
              "sampling", d["sampling"])
        print("units", json.dumps(d["units"], sort_keys=True))
        print("labels", "|".join(str(d.get(k)) for k in ("customer", "site", "note", "source")))
        print("records", len(d["records"]))
        for r in d["records"]:
            print("record", " ".join("%s=%s:%s" % (k, kind(v), v) for k, v in r.items()))


def read_xlsx(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    print("sheets", book.sheetnames)
    ws = book["Readings"]
    print("frozen", ws.freeze_panes)
    print("header", [c.value for c in ws[1]])
    print("bold", all(c.font.bold for c in ws[1] if c.value is not None))
    print("charts", len(ws._charts))
    for chart in ws._charts:
        print("chart", type(chart).__name__, len(chart.series))
    for row in ws.iter_rows(min_row=2):
        print("row", " ".join("%s:%r" % (c.data_type, c.value) for c in row))
    details = book["Details"]
    for row in details.iter_rows():
        print("details", [c.value for c in row])


if __name__ == "__main__":
    what, path = sys.argv[1], sys.argv[2]
    if what == "csv":
        read_csv(path, sys.argv[3].replace("tab", "\t"))
    elif what == "json":
        read_json(path, sys.argv[3] if len(sys.argv) > 3 else None)
    else:
        read_xlsx(path)
