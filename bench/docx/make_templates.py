#!/usr/bin/env python3
"""Writes the benchmark's templates and values into OUTDIR.

template.docx: 3 pages, 50 DOCVARIABLE fields and a 30-row table whose rows show
the row-clearing variables row01..row30 (every second one is left empty, so 15
rows are removed). template-tags.docx: the same document for docxtemplater, with
{tags} and a row loop that receives only the 15 non-empty rows. values.json:
the fields, the row-clearing keys and the loop data for both.
"""
import json
import sys
import zipfile

W = 'http://schemas.openxmlformats.org/wordprocessingml/2006/main'
FIELDS = ['f%02d' % i for i in range(1, 51)]
ROWS = ['row%02d' % i for i in range(1, 31)]


def text_run(text):
    return '<w:r><w:t xml:space="preserve">%s</w:t></w:r>' % text


def docvariable(name):
    return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
            '<w:r><w:instrText xml:space="preserve"> DOCVARIABLE %s </w:instrText></w:r>'
            '<w:r><w:fldChar w:fldCharType="end"/></w:r>' % name)


def tag(name):
    return text_run('{%s}' % name)


def paragraph(runs):
    return '<w:p>%s</w:p>' % runs


def page_break():
    return '<w:p><w:r><w:br w:type="page"/></w:r></w:p>'


def cell(runs):
    return '<w:tc><w:tcPr><w:tcW w:w="4500" w:type="dxa"/></w:tcPr>%s</w:tc>' % paragraph(runs)


def body(placeholder, table_rows):
    parts = [paragraph(text_run('Benchmark document, page 1'))]
    for index, name in enumerate(FIELDS):
        if index == 25:
            parts.append(page_break())
            parts.append(paragraph(text_run('Page 2')))
        parts.append(paragraph(text_run('Field %s: ' % name) + placeholder(name)
                               + text_run(' and some ordinary text after the value.')))
    parts.append(page_break())
    parts.append(paragraph(text_run('Page 3: the table')))
    rows = '<w:tr>%s%s</w:tr>' % (cell(text_run('Row')), cell(text_run('Value')))
    rows += table_rows
    parts.append('<w:tbl><w:tblPr><w:tblW w:w="9000" w:type="dxa"/></w:tblPr>%s</w:tbl>' % rows)
    parts.append(paragraph(text_run('End of document.')))
    return ''.join(parts)


def package(path, body_xml):
    content_types = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
        '<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
        '</Types>')
    rels = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>'
        '</Relationships>')
    document_rels = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>'
        '</Relationships>')
    document = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                '<w:document xmlns:w="%s"><w:body>%s<w:sectPr/></w:body></w:document>' % (W, body_xml))
    settings = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                '<w:settings xmlns:w="%s"><w:defaultTabStop w:val="708"/></w:settings>' % W)
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', content_types)
        z.writestr('_rels/.rels', rels)
        z.writestr('word/_rels/document.xml.rels', document_rels)
        z.writestr('word/document.xml', document)
        z.writestr('word/settings.xml', settings)


def main(outdir):
    fields = {name: 'Value of field %s' % name for name in FIELDS}
    for index, name in enumerate(ROWS):
        fields[name] = 'Row value %d' % (index + 1) if index % 2 == 0 else ''
    loop_rows = [{'label': 'Row %d' % (i + 1), 'value': fields[name]}
                 for i, name in enumerate(ROWS) if fields[name]]

    field_rows = ''.join('<w:tr>%s%s</w:tr>' % (cell(text_run('Row %d' % (i + 1))), cell(docvariable(name)))
                         for i, name in enumerate(ROWS))
    package(outdir + '/template.docx', body(docvariable, field_rows))

    loop_row = '<w:tr>%s%s</w:tr>' % (cell(text_run('{#rows}{label}')), cell(text_run('{value}{/rows}')))
    package(outdir + '/template-tags.docx', body(tag, loop_row))

    tag_values = {name: fields[name] for name in FIELDS}
    tag_values['rows'] = loop_rows
    with open(outdir + '/values.json', 'w') as out:
        json.dump({'fields': fields, 'clearTablesWithKeys': ROWS, 'tagValues': tag_values}, out)


if __name__ == '__main__':
    main(sys.argv[1])
