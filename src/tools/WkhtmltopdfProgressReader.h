#pragma once

#include <QByteArray>

namespace Wkhtmltopdf {

// The converter's standard error as it arrives, read for its completion
// reports: "Done" at the start of a progress line (after a carriage return or
// a line feed), also when a read cuts a report in two. Requiring that start
// keeps a "Done" inside a console message of the print page from counting.
// Only a few bytes are kept between reads.
class ProgressReader
{
public:
    // The reports completed by this read.
    int take(const QByteArray &bytes);

private:
    QByteArray m_carry;
};

} // namespace Wkhtmltopdf
