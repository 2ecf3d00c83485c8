#include "FuzzSupport.h"

#include <QVariantList>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Fuzz {

namespace {
void discard(QtMsgType, const QMessageLogContext &, const QString &) { }
} // namespace

void quiet()
{
    static const bool installed = (qInstallMessageHandler(discard), true);
    Q_UNUSED(installed)
}

void fail(const char *what, const QByteArray &detail)
{
    std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, detail.left(4000).constData());
    std::abort();
}

Input::Input(const uint8_t *data, size_t size)
    : m_data(data)
    , m_size(size)
{ }

bool Input::atEnd() const { return m_pos >= m_size; }

quint8 Input::byte() { return atEnd() ? 0 : m_data[m_pos++]; }

QByteArray Input::bytes(int maxSize)
{
    const size_t size = qMin<size_t>(size_t(maxSize), m_size - qMin(m_pos, m_size));
    const QByteArray result(reinterpret_cast<const char *>(m_data + qMin(m_pos, m_size)), int(size));
    m_pos += size;
    return result;
}

QString Input::text(int maxSize)
{
    const quint8 kind = byte();
    const QByteArray raw = bytes(qMin<int>(byte(), maxSize));
    if (kind % 2 == 0)
        return QString::fromUtf8(raw);
    return QString(reinterpret_cast<const QChar *>(raw.constData()), raw.size() / 2);
}

QVariant Input::value(int depth)
{
    switch (byte() % (depth > 0 ? 10 : 8)) {
    case 0:
        return QVariant();
    case 1:
        return QVariant(byte() % 2 == 1);
    case 2: {
        qint64 number = 0;
        std::memcpy(&number, bytes(sizeof number).leftJustified(sizeof number, '\0').constData(), sizeof number);
        return QVariant(number);
    }
    case 3: {
        double number = 0;
        std::memcpy(&number, bytes(sizeof number).leftJustified(sizeof number, '\0').constData(), sizeof number);
        return QVariant(number);
    }
    case 4:
        return QVariant(int(qint8(byte())));
    case 5:
    case 6:
        return QVariant(text(200));
    case 7:
        return QVariant(bytes(byte()));
    case 8: {
        QVariantList list;
        for (int n = byte() % 8; n > 0; --n)
            list.append(value(depth - 1));
        return list;
    }
    default:
        return map(depth - 1);
    }
}

QVariantMap Input::map(int depth)
{
    QVariantMap result;
    for (int n = byte() % 8; n > 0; --n)
        result.insert(text(40), value(depth));
    return result;
}

} // namespace Fuzz
