"""Prints an .xlsx workbook as JSON, as python3-openpyxl reads it (exit 3: openpyxl missing)."""
import json
import sys

try:
    import openpyxl
except ImportError:
    sys.exit(3)


def rgb(c):
    if c is None or c.type != "rgb" or c.rgb in (None, "00000000"):
        return None
    return c.rgb[-6:]


def side(s):
    return [s.style, rgb(s.color) if s.color is not None else None]


def main(path):
    book = openpyxl.load_workbook(path)
    values = openpyxl.load_workbook(path, data_only=True)
    out = {"sheets": [], "active": book.active.title}
    for ws, vs in zip(book.worksheets, values.worksheets):
        cells = {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is None and not cell.has_style:
                    continue
                f, b, p, a = cell.font, cell.border, cell.fill, cell.alignment
                cells["%d,%d" % (cell.row, cell.column)] = {
                    "value": vs.cell(cell.row, cell.column).value,
                    "formula": cell.value if cell.data_type == "f" else None,
                    "type": cell.data_type,
                    "font": [f.name, f.sz, bool(f.b), bool(f.i), bool(f.u), bool(f.strike),
                             rgb(f.color) if f.color is not None else None],
                    "format": cell.number_format,
                    "borders": [side(b.left), side(b.right), side(b.top), side(b.bottom)],
                    "fill": [p.fill_type, rgb(p.fgColor), rgb(p.bgColor)],
                    "align": [a.horizontal, a.vertical, bool(a.wrap_text)],
                }
        cols = {}
        for letter, d in ws.column_dimensions.items():
            for c in range(d.min or 0, (d.max or 0) + 1):
                cols[str(c)] = [d.width, bool(d.hidden)]
        rows = {str(r): [d.height, bool(d.hidden)] for r, d in ws.row_dimensions.items()}
        ps, pm = ws.page_setup, ws.page_margins
        out["sheets"].append({
            "name": ws.title,
            "cells": cells,
            "merges": sorted(str(m) for m in ws.merged_cells.ranges),
            "cols": cols,
            "rows": rows,
            "freeze": ws.freeze_panes,
            "print_area": ws.print_area,
            "title_rows": ws.print_title_rows,
            "title_cols": ws.print_title_cols,
            "orientation": ps.orientation,
            "paper": ps.paperSize,
            "fit": [ws.sheet_properties.pageSetUpPr.fitToPage
                    if ws.sheet_properties.pageSetUpPr else None, ps.fitToWidth, ps.fitToHeight],
            "margins": [pm.left, pm.right, pm.top, pm.bottom, pm.header, pm.footer],
            "header": ws.oddHeader.center.text,
            "footer": ws.oddFooter.left.text or ws.oddFooter.center.text,
            "hcenter": bool(ws.print_options.horizontalCentered),
            "breaks": [b.id for b in ws.row_breaks.brk],
        })
    json.dump(out, sys.stdout, ensure_ascii=False, default=str)


main(sys.argv[1])
