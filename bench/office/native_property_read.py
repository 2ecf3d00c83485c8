#!/usr/bin/python3
"""The office benchmark's repeated property reads done natively with
python3-uno, for comparison: with the document open hidden, its URL read
CALLS times, and the open text documents counted CALLS times (enumerating
the desktop's components). Prints microseconds per read.

    native_property_read.py PIPE DOCUMENT CALLS
"""
import sys
import time

import uno
from com.sun.star.beans import PropertyValue


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext('com.sun.star.bridge.UnoUrlResolver', local)
    remote = resolver.resolve(f'uno:pipe,name={pipe};urp;StarOffice.ComponentContext')
    return remote.ServiceManager.createInstanceWithContext('com.sun.star.frame.Desktop', remote)


def text_documents(desktop):
    count = 0
    components = desktop.getComponents().createEnumeration()
    while components.hasMoreElements():
        if components.nextElement().supportsService('com.sun.star.text.TextDocument'):
            count += 1
    return count


def per_call_us(read, calls):
    read()
    start = time.perf_counter()
    for _ in range(calls):
        read()
    return (time.perf_counter() - start) * 1e6 / calls


def main(pipe, path, calls):
    calls = int(calls)
    desktop = connect(pipe)
    hidden = PropertyValue()
    hidden.Name = 'Hidden'
    hidden.Value = True
    document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), '_blank', 0, (hidden,))
    try:
        print(f'python3-uno document URL read, per read {per_call_us(document.getURL, calls):.2f}')
        print(f'python3-uno text documents counted, per read {per_call_us(lambda: text_documents(desktop), calls):.2f}')
    finally:
        document.close(True)


if __name__ == '__main__':
    main(*sys.argv[1:])
