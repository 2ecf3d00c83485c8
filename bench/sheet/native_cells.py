#!/usr/bin/python3
"""The spreadsheet benchmark's cell work done natively with python3-uno,
for comparison, in the office given by its pipe: the time from opening
LARGE hidden to its first value (best of ROUNDS), then, on CELLS opened hidden, ROWS x 10
cells written one by one (getCellByPosition, setValue) and read one by one
(getCellByPosition, getType, getValue), as the automation layer does, best
of ROUNDS. Prints "name value" lines; then, for the caller to count what the
office sends meanwhile, writes the cells once more and reads them once more,
each after a line on its standard input, answering "done" after each.

    native_cells.py PIPE LARGE CELLS ROWS ROUNDS
"""
import sys
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.table.CellContentType import VALUE


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
    remote = resolver.resolve(f'uno:pipe,name={pipe};urp;StarOffice.ComponentContext')
    return remote.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', remote)


def load(desktop, path):
    hidden = PropertyValue()
    hidden.Name = 'Hidden'
    hidden.Value = True
    return desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), '_blank', 0, (hidden,))


def write_cells(sheet, rows, offset):
    for row in range(rows):
        for col in range(10):
            sheet.getCellByPosition(col, row).setValue(row * 10 + col + offset)


def read_cells(sheet, rows):
    values = []
    for row in range(rows):
        for col in range(10):
            cell = sheet.getCellByPosition(col, row)
            values.append(cell.getValue() if cell.getType() == VALUE else cell.getString())
    return values


def main(pipe, large, cells, rows, rounds):
    rows, rounds = int(rows), int(rounds)
    desktop = connect(pipe)
    best_open = None
    for _ in range(rounds):
        start = time.perf_counter()
        document = load(desktop, large)
        document.getSheets().getByIndex(0).getCellByPosition(1, 0).getValue()
        spent = (time.perf_counter() - start) * 1000
        best_open = spent if best_open is None else min(best_open, spent)
        document.close(True)
    print(f'python3-uno open to first value, 1 MB workbook (ms) {best_open:.1f}')

    document = load(desktop, cells)
    try:
        sheet = document.getSheets().getByIndex(0)
        count = rows * 10
        best_set = best_get = 0.0
        for round in range(rounds):
            start = time.perf_counter()
            write_cells(sheet, rows, round + 0.5)
            best_set = max(best_set, count / (time.perf_counter() - start))
            start = time.perf_counter()
            read_cells(sheet, rows)
            best_get = max(best_get, count / (time.perf_counter() - start))
        print(f'python3-uno set cells per second {best_set:.0f}')
        print(f'python3-uno get cells per second {best_get:.0f}', flush=True)
        sys.stdin.readline()
        write_cells(sheet, rows, 0.25)
        print('done', flush=True)
        sys.stdin.readline()
        read_cells(sheet, rows)
        print('done', flush=True)
    finally:
        document.close(True)


if __name__ == '__main__':
    main(*sys.argv[1:])
