"""Prints an .xls workbook as JSON, as python3-xlrd reads it (exit 3: xlrd missing)."""
import json
import sys

try:
    import xlrd
except ImportError:
    sys.exit(3)


def colour(book, index):
    rgb = book.colour_map.get(index)
    return None if rgb is None else "%02X%02X%02X" % rgb


def main(path, only=None):
    book = xlrd.open_workbook(path, formatting_info=True)
    out = {"sheets": [], "datemode": book.datemode}
    names = {}
    for name in book.name_obj_list:
        names.setdefault(name.scope, {})[name.name] = [
            [a.shtxlo, a.shtxhi, a.rowxlo, a.rowxhi, a.colxlo, a.colxhi]
            for a in (name.result.value if name.result else [])
        ] if name.result and name.result.kind == xlrd.oREF else None
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        cells = {}
        wanted = [(r, c) for r in range(sh.nrows) for c in range(sh.ncols)] if only is None \
            else [(r, c) for (r, c) in only if r < sh.nrows and c < sh.ncols]
        for (r, c) in wanted:
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY and cell.xf_index in (15, None):
                continue
            xf = book.xf_list[cell.xf_index]
            font = book.font_list[xf.font_index]
            fmt = book.format_map.get(xf.format_key)
            b = xf.border
            p = xf.background
            a = xf.alignment
            cells["%d,%d" % (r + 1, c + 1)] = {
                "type": cell.ctype,
                "value": cell.value,
                "font": [font.name, font.height / 20.0, bool(font.bold), bool(font.italic),
                         bool(font.underline_type), bool(font.struck_out),
                         colour(book, font.colour_index)],
                "format": fmt.format_str if fmt else None,
                "borders": [[b.left_line_style, colour(book, b.left_colour_index)],
                            [b.right_line_style, colour(book, b.right_colour_index)],
                            [b.top_line_style, colour(book, b.top_colour_index)],
                            [b.bottom_line_style, colour(book, b.bottom_colour_index)]],
                "fill": [p.fill_pattern, colour(book, p.pattern_colour_index),
                         colour(book, p.background_colour_index)],
                "align": [a.hor_align, a.vert_align, a.text_wrapped],
            }
        cols = {}
        for c, info in sh.colinfo_map.items():
            cols[str(c + 1)] = [info.width, bool(info.hidden)]
        rows = {}
        for r, info in sh.rowinfo_map.items():
            rows[str(r + 1)] = [info.height, bool(info.hidden), bool(info.has_default_height)]
        out["sheets"].append({
            "name": sh.name,
            "nrows": sh.nrows,
            "ncols": sh.ncols,
            "cells": cells,
            "merges": [[r1 + 1, c1 + 1, r2, c2] for (r1, r2, c1, c2) in sh.merged_cells],
            "cols": cols,
            "rows": rows,
            "defcolwidth": sh.defcolwidth,
            "frozen": [bool(sh.panes_are_frozen), sh.horz_split_pos, sh.vert_split_pos],
            "hpagebreaks": [b[0] for b in sh.horizontal_page_breaks],
            "names": names.get(si, {}),
        })
    json.dump(out, sys.stdout, ensure_ascii=False)


# "--only=R,C;R,C" limits the cells dumped (1-based), for big files.
args = sys.argv[1:]
only = None
if args and args[0].startswith("--only="):
    only = [tuple(int(x) - 1 for x in p.split(",")) for p in args[0][7:].split(";")]
    args = args[1:]
main(args[0], only)
