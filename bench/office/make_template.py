#!/usr/bin/env python3
"""Writes the office benchmark's template: two pages, 20 document-variable
fields (v01..v20) and a 10-row table whose rows show v11..v20, as
WORKDIR/bench.docx, plus values.json with the values the bench fills in."""
import json
import sys
import zipfile

W = 'http://schemas.openxmlformats.org/wordprocessingml/2006/main'
LOREM = ('Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor '
         'incididunt ut labore et dolore magna aliqua. ') * 3


def run(text):
    return f'<w:r><w:t xml:space="preserve">{text}</w:t></w:r>'


def field(name):
    return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
            f'<w:r><w:instrText xml:space="preserve"> DOCVARIABLE {name} </w:instrText></w:r>'
            '<w:r><w:fldChar w:fldCharType="separate"/></w:r>'
            f'<w:r><w:t>[{name}]</w:t></w:r>'
            '<w:r><w:fldChar w:fldCharType="end"/></w:r>')


def paragraph(runs):
    return f'<w:p>{runs}</w:p>'


def cell(runs):
    return f'<w:tc><w:tcPr><w:tcW w:w="4500" w:type="dxa"/></w:tcPr>{paragraph(runs)}</w:tc>'


def body():
    parts = [paragraph(run(f'Field {i:02d}: ') + field(f'v{i:02d}')) for i in range(1, 11)]
    parts += [paragraph(run(LOREM)) for _ in range(6)]
    rows = ''.join(f'<w:tr>{cell(run(f"Row {i}"))}{cell(field(f"v{i:02d}"))}</w:tr>' for i in range(11, 21))
    parts.append('<w:tbl><w:tblGrid><w:gridCol w:w="4500"/><w:gridCol w:w="4500"/></w:tblGrid>'
                 f'{rows}</w:tbl>')
    parts.append('<w:p><w:r><w:br w:type="page"/></w:r></w:p>')
    parts += [paragraph(run(LOREM)) for _ in range(12)]
    return ''.join(parts)


def main(workdir):
    document = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                f'<w:document xmlns:w="{W}"><w:body>{body()}</w:body></w:document>')
    settings = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                f'<w:settings xmlns:w="{W}"></w:settings>')
    with zipfile.ZipFile(f'{workdir}/bench.docx', 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml',
                   '<?xml version="1.0" encoding="UTF-8"?>'
                   '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                   '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Default Extension="xml" ContentType="application/xml"/>'
                   '<Override PartName="/word/document.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
                   '<Override PartName="/word/settings.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/></Types>')
        z.writestr('_rels/.rels',
                   '<?xml version="1.0" encoding="UTF-8"?>'
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships/officeDocument" Target="word/document.xml"/></Relationships>')
        z.writestr('word/_rels/document.xml.rels',
                   '<?xml version="1.0" encoding="UTF-8"?>'
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                   'relationships/settings" Target="settings.xml"/></Relationships>')
        z.writestr('word/document.xml', document)
        z.writestr('word/settings.xml', settings)
    # The last three table rows stay empty and are removed.
    values = {f'v{i:02d}': ('' if i >= 18 else f'value {i}') for i in range(1, 21)}
    options = {'fields': values, 'clearTablesWithKeys': [f'v{i:02d}' for i in range(11, 21)]}
    with open(f'{workdir}/options.json', 'w') as out:
        json.dump(options, out)


if __name__ == '__main__':
    main(sys.argv[1])
