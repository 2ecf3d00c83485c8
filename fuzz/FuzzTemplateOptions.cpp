// The options a page passes to generateFromTemplate, of any shape the web
// engine hands over (maps, lists, texts, numbers, null), usually with "fields"
// and "clearTablesWithKeys": the variables and row-clearing names taken from
// them, written into a settings part and filled into a document part.
// Whatever is written must parse again.
#include "DocumentXML.h"
#include "FuzzSupport.h"
#include "OfficeBridge.h"
#include "SettingsXML.h"

namespace {

const QByteArray kSettings = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                             "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                             "<w:docVars><w:docVar w:name=\"a\" w:val=\"old\"/></w:docVars></w:settings>";

// Fields named a, b and c, one of them in a table row.
QByteArray field(const char *name)
{
    return QByteArray("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> "
                      "DOCVARIABLE ")
            + name + " </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

const QByteArray kDocument = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                             "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                             "<w:body><w:p>"
        + field("a") + field("b") + "</w:p><w:tbl><w:tr><w:tc><w:p>" + field("c")
        + "</w:p></w:tc></w:tr></w:tbl></w:body></w:document>";

template<typename Part>
void fill(const QByteArray &template_, void (*update)(Part &, const OfficeBridge::TemplateInput &),
          const OfficeBridge::TemplateInput &input)
{
    Part part{QString(), QString()};
    FUZZ_CHECK(part.parse(template_), template_);
    update(part, input);
    const QByteArray written = part.serialized();
    Part again{QString(), QString()};
    FUZZ_CHECK(again.parse(written), written);
}

// The page's object, with "fields" and "clearTablesWithKeys" put in as the
// first byte says: the fuzzer need not guess their names.
QVariantMap options(Fuzz::Input &input)
{
    const quint8 present = input.byte();
    QVariantMap result = input.map(2);
    if (present & 1)
        result.insert(QStringLiteral("fields"), present & 4 ? input.value(2) : QVariant(input.map(2)));
    if (present & 2)
        result.insert(QStringLiteral("clearTablesWithKeys"), input.value(2));
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    Fuzz::Input input(data, size);
    QVariantMap page = options(input);
    const OfficeBridge::TemplateInput taken = OfficeBridge::takeTemplateInput(page);
    fill<SettingsXML>(
            kSettings, [](SettingsXML &part, const OfficeBridge::TemplateInput &in) { part.updateVars(in.variables); },
            taken);
    fill<DocumentXML>(
            kDocument,
            [](DocumentXML &part, const OfficeBridge::TemplateInput &in) {
                part.updateVars(in.variables, in.keyVarsRemoveInCells);
            },
            taken);
    return 0;
}
