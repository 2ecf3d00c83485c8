// A Fields collection (of the whole document or of one cell's range), one
// Field, and a field's Code.
#include "UnoRuntime.h"
#include "WordKinds.h"
#include "WordTableState.h"

#include <com/sun/star/text/XTextField.hpp>

namespace WordKinds {

namespace {

using Answer = EmulatedObject::Answer;

const int WD_FIELD_EMPTY = -1;
const int WD_FIELD_DOC_VARIABLE = 64;

struct OnFields
{
    OnDocument on;
    std::shared_ptr<WordCellEntry> cell; // none: the whole document's

    void check() const { on.check(); }
    WordFieldList &list() const { return cell ? cell->cellFields(on.document->revision()) : on.document->fields(); }
};

struct OnField
{
    OnDocument on;
    std::shared_ptr<WordFieldEntry> field;

    void check() const { on.check(); }
};

struct OnCode
{
    OnDocument on;
    QString text;

    void check() const { on.check(); }
};

const ObjectKind<OnCode> CODE("Range",
                              {{"Text", [](OnCode &code, const QVariantList &) { return Answer(code.text); }}});

Answer code(OnField &field, const QVariantList &)
{
    const QString &variable = field.field->variable();
    if (!variable.isNull())
        return Answer(CODE.make({field.on, QStringLiteral(" DOCVARIABLE %1 ").arg(variable)}));
    const rtl::OUString shown = field.field->field().as<css::text::XTextField>()->getPresentation(true);
    return Answer(CODE.make({field.on, QLatin1Char(' ') + toQString(shown) + QLatin1Char(' ')}));
}

Answer type(OnField &field, const QVariantList &)
{
    const bool variable = field.field->shown() != FieldVariable::Shown::NotAVariable;
    return Answer(variable ? WD_FIELD_DOC_VARIABLE : WD_FIELD_EMPTY);
}

const ObjectKind<OnField> FIELD("Field", {{"Type", &type}, {"Code", &code}});

Answer item(OnFields &fields, const QVariantList &args)
{
    const WordFieldList &list = fields.list();
    return Answer(FIELD.make({fields.on, list.at(collectionIndex(args, list.size()) - 1)}));
}

Answer update(OnFields &fields, const QVariantList &)
{
    fields.on.document->refreshFields();
    // Word answers 0 when every field updated.
    return Answer(QVariant(0));
}

const ObjectKind<OnFields>
        FIELDS("Fields",
               {
                       {"Count", [](OnFields &fields, const QVariantList &) { return Answer(fields.list().size()); }},
                       {"Item", &item},
                       {"Update", &update},
               });

} // namespace

std::shared_ptr<EmulatedObject> documentFields(const OnDocument &on) { return FIELDS.make({on, nullptr}); }

std::shared_ptr<EmulatedObject> cellFields(const OnDocument &on, std::shared_ptr<WordCellEntry> cell)
{
    return FIELDS.make({on, std::move(cell)});
}

} // namespace WordKinds
