#!/usr/bin/python3
"""Workbooks for the spreadsheet benchmark, written as SpreadsheetML packages
with the standard library only: cells.xlsx (one small sheet the cell
benchmark writes and reads) and large.xlsx (one sheet of numbers, texts and
formulas, about 1 MB on disk, for the time from open to a first value).

    make_workbooks.py WORKDIR
"""
import os
import random
import sys
import zipfile

CONTENT_TYPES = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                 '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                 '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                 '<Default Extension="xml" ContentType="application/xml"/>'
                 '<Override PartName="/xl/workbook.xml" '
                 'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                 '<Override PartName="/xl/worksheets/sheet1.xml" '
                 'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                 '</Types>')
ROOT_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
             '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
             '<Relationship Id="rId1" '
             'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
             'Target="xl/workbook.xml"/></Relationships>')
WORKBOOK = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
            '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                 '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                 '<Relationship Id="rId1" '
                 'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
                 'Target="worksheets/sheet1.xml"/></Relationships>')


def column(index):
    name = ''
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(65 + rest) + name
    return name


def sheet(rows, columns, cell):
    parts = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
             '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>']
    for row in range(rows):
        parts.append(f'<row r="{row + 1}">')
        for col in range(columns):
            parts.append(cell(f'{column(col)}{row + 1}', row, col))
        parts.append('</row>')
    parts.append('</sheetData></worksheet>')
    return ''.join(parts)


def write(path, sheet_xml):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as package:
        package.writestr('[Content_Types].xml', CONTENT_TYPES)
        package.writestr('_rels/.rels', ROOT_RELS)
        package.writestr('xl/workbook.xml', WORKBOOK)
        package.writestr('xl/_rels/workbook.xml.rels', WORKBOOK_RELS)
        package.writestr('xl/worksheets/sheet1.xml', sheet_xml)


def large_cell(address, row, col):
    if col == 0:
        return f'<c r="{address}" t="inlineStr"><is><t>Item {row} {random.randrange(10 ** 6)}</t></is></c>'
    if col == 9:
        return f'<c r="{address}"><f>SUM(B{row + 1}:I{row + 1})</f></c>'
    return f'<c r="{address}"><v>{random.random() * 10 ** 6:.6f}</v></c>'


def main(work):
    random.seed(14)
    write(os.path.join(work, 'cells.xlsx'), sheet(100, 10, lambda a, r, c: f'<c r="{a}"><v>{r * 10 + c}</v></c>'))
    rows = 9000
    path = os.path.join(work, 'large.xlsx')
    write(path, sheet(rows, 10, large_cell))
    print(f'large.xlsx {os.path.getsize(path)} bytes, {rows * 10} cells', file=sys.stderr)


if __name__ == '__main__':
    main(sys.argv[1])
