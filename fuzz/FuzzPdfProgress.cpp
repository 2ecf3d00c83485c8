// The converter's standard error, arriving in reads of any size: the
// completion reports ("Done" at the start of a progress line) counted read by
// read must be those of the whole output, however the reads cut it.
#include "FuzzSupport.h"
#include "WkhtmltopdfProgressReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    Fuzz::Input input(data, size);
    Wkhtmltopdf::ProgressReader reader;
    QByteArray whole;
    int counted = 0;
    while (!input.atEnd()) {
        const QByteArray read = input.bytes(input.byte());
        whole += read;
        counted += reader.take(read);
    }
    const int reported = whole.count("\rDone") + whole.count("\nDone");
    FUZZ_CHECK(counted == reported,
               QByteArray::number(counted) + " counted, " + QByteArray::number(reported) + " in the output: " + whole);
    return 0;
}
