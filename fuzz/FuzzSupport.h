#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <cstddef>
#include <cstdint>

// The entry point every fuzz target defines: libFuzzer calls it with each
// input it makes, ReplayMain with each input file it is given.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace Fuzz {

// Silences Qt's messages: the code under test logs every step, which would
// otherwise take most of each run. Safe to call on every input.
void quiet();

// Ends the run when a property of the code under test does not hold; the
// fuzzer keeps the input as a crash.
[[noreturn]] void fail(const char *what, const QByteArray &detail);

// Reads typed values from the fuzzer's bytes, front to back; past the end
// every read gives zero or empty, so any input is a valid one.
class Input
{
public:
    Input(const uint8_t *data, size_t size);

    bool atEnd() const;
    quint8 byte();
    QByteArray bytes(int maxSize);
    // UTF-8 or, chosen by a leading byte, raw UTF-16 units (lone surrogates
    // included): what a script string can hold.
    QString text(int maxSize);
    // A value of any shape a page or the shell may log: null, bool, numbers
    // (NaN and infinities included), texts, bytes, lists and maps, nested
    // up to `depth`.
    QVariant value(int depth);
    QVariantMap map(int depth);

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace Fuzz

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            Fuzz::fail(#condition, detail);                                                                            \
    } while (false)
