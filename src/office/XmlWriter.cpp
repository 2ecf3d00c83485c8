#include "XmlWriter.h"

#include <QDomNode>

namespace {

enum class Escape { Text, Attribute };

// The escapes the DOM writer uses: markup characters always, ">" only where it
// would close a CDATA end marker, carriage returns always (a parser would fold
// them into line feeds), and in attribute values also the quote and the white
// space a parser would normalise to spaces.
void appendEscaped(QString &out, const QString &text, Escape escape)
{
    const QChar *data = text.constData();
    const int size = text.size();
    const bool attribute = escape == Escape::Attribute;
    int plainFrom = 0;
    for (int i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        QLatin1String replacement;
        switch (c) {
        case u'<':
            replacement = QLatin1String("&lt;");
            break;
        case u'&':
            replacement = QLatin1String("&amp;");
            break;
        case u'>':
            if (i >= 2 && data[i - 1] == QLatin1Char(']') && data[i - 2] == QLatin1Char(']'))
                replacement = QLatin1String("&gt;");
            break;
        case u'\r':
            replacement = QLatin1String("&#xd;");
            break;
        case u'"':
            if (attribute)
                replacement = QLatin1String("&quot;");
            break;
        case u'\n':
            if (attribute)
                replacement = QLatin1String("&#xa;");
            break;
        case u'\t':
            if (attribute)
                replacement = QLatin1String("&#x9;");
            break;
        default:
            break;
        }
        if (replacement.size() == 0)
            continue;
        out.append(data + plainFrom, i - plainFrom);
        out.append(replacement);
        plainFrom = i + 1;
    }
    out.append(data + plainFrom, size - plainFrom);
}

bool isTextLike(const QDomNode &node) { return node.isText(); } // CDATA sections count as text

void writeStartTag(QString &out, const QDomElement &element, bool empty)
{
    out += QLatin1Char('<');
    out += element.tagName();
    const QDomNamedNodeMap attributes = element.attributes();
    const int count = attributes.count();
    for (int i = 0; i < count; ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        out += QLatin1Char(' ');
        out += attribute.name();
        out += QLatin1String("=\"");
        appendEscaped(out, attribute.value(), Escape::Attribute);
        out += QLatin1Char('"');
    }
    out += empty ? QLatin1String("/>") : QLatin1String(">");
}

// Everything but an element with children: that one opens here and closes when
// the walk climbs back out of it.
void writeLeaf(QString &out, const QDomNode &node)
{
    switch (node.nodeType()) {
    case QDomNode::ElementNode:
        writeStartTag(out, node.toElement(), true);
        break;
    case QDomNode::TextNode:
        appendEscaped(out, node.toText().data(), Escape::Text);
        break;
    case QDomNode::CDATASectionNode: {
        QString data = node.toCDATASection().data();
        out += QLatin1String("<![CDATA[");
        out += data.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
        out += QLatin1String("]]>");
        break;
    }
    case QDomNode::CommentNode:
        out += QLatin1String("<!--");
        out += node.toComment().data();
        out += QLatin1String("-->");
        if (!isTextLike(node.nextSibling()))
            out += QLatin1Char('\n');
        break;
    case QDomNode::ProcessingInstructionNode: {
        const QDomProcessingInstruction instruction = node.toProcessingInstruction();
        out += QLatin1String("<?");
        out += instruction.target();
        out += QLatin1Char(' ');
        out += instruction.data();
        out += QLatin1String("?>\n");
        break;
    }
    case QDomNode::EntityReferenceNode:
        out += QLatin1Char('&');
        out += node.nodeName();
        out += QLatin1Char(';');
        break;
    default:
        // Document types and the like: parts carry none (a DTD is refused on reading).
        break;
    }
}

} // namespace

QString XmlWriter::toString(const QDomDocument &document)
{
    QString out;
    QDomNode node = document.firstChild();
    while (!node.isNull()) {
        if (node.isElement() && node.hasChildNodes()) {
            writeStartTag(out, node.toElement(), false);
            node = node.firstChild();
            continue;
        }
        writeLeaf(out, node);
        while (node.nextSibling().isNull()) {
            node = node.parentNode();
            if (node.isNull() || node.isDocument())
                return out;
            out += QLatin1String("</");
            out += node.toElement().tagName();
            out += QLatin1Char('>');
        }
        node = node.nextSibling();
    }
    return out;
}
