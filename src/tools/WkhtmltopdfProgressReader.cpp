#include "WkhtmltopdfProgressReader.h"

namespace Wkhtmltopdf {

namespace {

const QByteArray DONE = QByteArrayLiteral("Done");
// Enough of the output to hold a marker cut in two by a read ("\rDon").
const int MARKER_TAIL = 4;

} // namespace

int ProgressReader::take(const QByteArray &bytes)
{
    const QByteArray text = m_carry + bytes;
    int count = 0;
    int countedTo = 0;
    for (int at = text.indexOf(DONE); at >= 0; at = text.indexOf(DONE, at + 1)) {
        if (at > 0 && (text.at(at - 1) == '\r' || text.at(at - 1) == '\n')) {
            ++count;
            countedTo = at + DONE.size();
        }
    }
    m_carry = text.mid(qMax(countedTo, text.size() - MARKER_TAIL));
    return count;
}

} // namespace Wkhtmltopdf
