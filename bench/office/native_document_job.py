#!/usr/bin/python3
"""The office benchmark's document job done natively with python3-uno, for
comparison: open the .doc template hidden, set the 20 variables as user
field masters (and as the custom properties the .doc import shows them
through), delete the table rows whose listed variables are all empty,
refresh the fields, store as "MS Word 97" and close. Prints the median
milliseconds per document.

    native_document_job.py PIPE TEMPLATE OPTIONS_JSON OUT_DIR DOCUMENTS
"""
import json
import statistics
import sys
import time

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.beans.PropertyAttribute import REMOVABLE

USER_MASTER = 'com.sun.star.text.fieldmaster.User'
CUSTOM_FIELD = 'com.sun.star.text.textfield.docinfo.Custom'
USER_FIELD = 'com.sun.star.text.textfield.User'


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
    remote = resolver.resolve(f'uno:pipe,name={pipe};urp;StarOffice.ComponentContext')
    return remote.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', remote)


def shown_variables(document):
    """(variable name, table, cell name or None) for every field showing a variable."""
    shown = []
    fields = document.getTextFields().createEnumeration()
    while fields.hasMoreElements():
        field = fields.nextElement()
        if field.supportsService(CUSTOM_FIELD):
            name = field.Name
        elif field.supportsService(USER_FIELD):
            name = field.TextFieldMaster.Name
        else:
            continue
        anchor = field.getAnchor()
        table = anchor.TextTable
        shown.append((name, table, anchor.Cell.CellName if table else None))
    return shown


def set_variables(document, variables, shown):
    masters = document.getTextFieldMasters()
    custom = document.getDocumentProperties().getUserDefinedProperties()
    names_shown = {name for name, _, _ in shown}
    for name, value in variables.items():
        master_name = f'{USER_MASTER}.{name}'
        if masters.hasByName(master_name):
            master = masters.getByName(master_name)
        else:
            master = document.createInstance(USER_MASTER)
            master.Name = name
        master.Content = value
        if custom.getPropertySetInfo().hasPropertyByName(name):
            custom.setPropertyValue(name, value)
        elif name in names_shown:
            custom.addProperty(name, REMOVABLE, value)


def delete_empty_rows(shown, variables, keys):
    """Rows where every field showing a listed variable shows an empty one."""
    rows = {}
    for name, table, cell in shown:
        if table is None or name not in keys:
            continue
        row = int(''.join(ch for ch in cell if ch.isdigit()))
        key = (table.Name, row)
        empty = not variables.get(name, '').strip()
        entry = rows.setdefault(key, [table, True])
        entry[1] = entry[1] and empty
    for (_, row), (table, empty) in sorted(rows.items(), key=lambda item: -item[0][1]):
        if empty:
            table.getRows().removeByIndex(row - 1, 1)


def one_document(desktop, template, options, out):
    document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(template), '_blank', 0,
                                            (prop('Hidden', True), prop('AsTemplate', False)))
    variables = options['fields']
    shown = shown_variables(document)
    set_variables(document, variables, shown)
    delete_empty_rows(shown, variables, set(options['clearTablesWithKeys']))
    document.getTextFields().refresh()
    document.storeAsURL(uno.systemPathToFileUrl(out), (prop('FilterName', 'MS Word 97'), prop('Overwrite', True)))
    document.close(True)


def main(pipe, template, options_path, out_dir, documents):
    with open(options_path) as f:
        options = json.load(f)
    desktop = connect(pipe)
    times = []
    for index in range(int(documents) + 1):
        start = time.perf_counter()
        one_document(desktop, template, options, f'{out_dir}/native{index}.doc')
        times.append((time.perf_counter() - start) * 1000)
    # The first document warms the office up, as the bench's own first one does.
    print(f'python3-uno document job, median per document {statistics.median(times[1:]):.2f}')


if __name__ == '__main__':
    main(*sys.argv[1:])
