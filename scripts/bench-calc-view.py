#!/usr/bin/python3
"""LibreOffice Calc doing what bench_view measures, on the same statement: a standard filter by
a string, by an amount range and by a list value, removing the filter, and sorting the rows by
an amount column. Needs python3-uno (Debian).

    build/bench/bench_view --write-csv=view.csv
    /usr/bin/python3 scripts/bench-calc-view.py view.csv [runs]

Prints the median wall time and the median CPU time of the soffice process for each step."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.sheet import TableFilterField2
from com.sun.star.sheet.FilterOperator2 import CONTAINS, EQUAL, GREATER_EQUAL, LESS_EQUAL
from com.sun.star.sheet.FilterConnection import AND
from com.sun.star.table import TableSortField


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


def cpu(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def officePid(profile):
    """The soffice.bin process started with our profile (soffice itself is a launcher)."""
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    cmd = f.read().decode(errors="replace")
            except OSError:
                continue
            if "soffice.bin" in cmd and profile in cmd:
                return int(entry)
    return None


def field(col, op, number=None, text=None, connection=AND):
    f = TableFilterField2()
    f.Connection, f.Field, f.Operator = connection, col, op
    f.IsNumeric = number is not None
    if number is not None:
        f.NumericValue = number
    else:
        f.StringValue = text
    return f


def main():
    csv = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    profile = tempfile.mkdtemp()
    office = subprocess.Popen(
        ["soffice", "--headless", "--norestore", "--invisible", "--nologo",
         f"-env:UserInstallation=file://{profile}",
         "--accept=socket,host=localhost,port=2093;urp;"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(120):
        try:
            ctx = resolver.resolve(
                "uno:socket,host=localhost,port=2093;urp;StarOffice.ComponentContext")
            break
        except Exception:
            time.sleep(0.5)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL(
        uno.systemPathToFileUrl(csv), "_blank", 0,
        (prop("FilterName", "Text - txt - csv (StarCalc)"),
         prop("FilterOptions", "44,34,76,1"), prop("Hidden", True)))
    pid = officePid(profile)
    sheet = doc.Sheets.getByIndex(0)
    rows = sheet.createCursor()
    rows.gotoEndOfUsedArea(False)
    last = rows.RangeAddress.EndRow + 1
    data = sheet.getCellRangeByName(f"A1:T{last}")

    def standard(*fields):
        d = data.createFilterDescriptor(True)
        d.ContainsHeader = True
        d.setFilterFields2(fields)
        data.filter(d)

    def sort(col):
        s = TableSortField()
        s.Field, s.IsAscending = col, True
        data.sort((prop("ContainsHeader", True), prop("SortFields", (s,))))

    steps = [
        ("filter by a string", lambda: standard(field(1, CONTAINS, text="Контрагент 123"))),
        ("filter by an amount range",
         lambda: standard(field(3, GREATER_EQUAL, 100.0), field(3, LESS_EQUAL, 200.0))),
        ("filter by a list value", lambda: standard(field(0, EQUAL, text="Счет 15"))),
        ("remove the filter", lambda: standard()),
        ("sort by an amount", lambda: sort(3)),
    ]
    for name, step in steps:
        walls, cpus = [], []
        for _ in range(runs):
            c0, t0 = cpu(pid), time.perf_counter()
            step()
            walls.append(time.perf_counter() - t0)
            cpus.append(cpu(pid) - c0)
            standard()  # every step starts from the whole sheet
        print(f"{name}: wall {statistics.median(walls) * 1000:.0f} ms, "
              f"CPU {statistics.median(cpus) * 1000:.0f} ms ({last} rows)")
    doc.close(True)
    office.terminate()


if __name__ == "__main__":
    main()
