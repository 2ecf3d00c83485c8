// A document's Variables and one Variable: Word's own, kept by the emulation
// (the office holds none), so reading them costs no round trip.
#include "WordKinds.h"

namespace WordKinds {

namespace {

using Answer = EmulatedObject::Answer;

struct OnVariable
{
    OnDocument on;
    QString name;

    void check() const { on.check(); }
};

// Live, as Word's: the value as the document holds it when asked.
const ObjectKind<OnVariable>
        VARIABLE("Variable",
                 {
                         {"Name", [](OnVariable &variable, const QVariantList &) { return Answer(variable.name); }},
                         {"Value",
                          [](OnVariable &variable, const QVariantList &) {
                              return Answer(variable.on.document->variables().value(variable.name));
                          }},
                 });

Answer add(OnDocument &on, const QVariantList &args)
{
    on.document->setVariable(args.value(0).toString(), args.value(1).toString());
    return Answer(true);
}

Answer item(OnDocument &on, const QVariantList &args)
{
    const QMap<QString, QString> &variables = on.document->variables();
    if (args.value(0).type() == QVariant::String) {
        const QString name = args.value(0).toString();
        if (!variables.contains(name))
            throw AutomationFault{DispatchCode::BAD_INDEX, QStringLiteral("No document variable %1").arg(name)};
        return Answer(VARIABLE.make({on, name}));
    }
    // In name order, as Word keeps them.
    const int index = collectionIndex(args, variables.size());
    return Answer(VARIABLE.make({on, std::next(variables.cbegin(), index - 1).key()}));
}

const ObjectKind<OnDocument> VARIABLES(
        "Variables",
        {
                {"Add", &add},
                {"Count", [](OnDocument &on, const QVariantList &) { return Answer(on.document->variables().size()); }},
                {"Item", &item},
        });

} // namespace

std::shared_ptr<EmulatedObject> variables(const OnDocument &on) { return VARIABLES.make(on); }

} // namespace WordKinds
