#include "WordDocuments.h"

#include "UnoRuntime.h"
#include "WordDocument.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>

#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace css;

WordDocuments::WordDocuments(std::shared_ptr<WordSession> session)
    : m_session(std::move(session))
{ }

QString WordDocuments::coClass() const { return QStringLiteral("Documents"); }

EmulatedObject::Answer WordDocuments::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordDocuments> members{
            {QStringLiteral("Count"), &WordDocuments::count},
            {QStringLiteral("Item"), &WordDocuments::item},
            {QStringLiteral("Open"), &WordDocuments::open},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordDocuments::count(const QVariantList &) { return Answer(m_session->textDocuments().size()); }

EmulatedObject::Answer WordDocuments::item(const QVariantList &args)
{
    const QList<uno::Reference<lang::XComponent>> documents = m_session->textDocuments();
    const int index = collectionIndex(args, documents.size());
    return Answer(std::make_shared<WordDocument>(m_session, documents.at(index - 1)));
}

EmulatedObject::Answer WordDocuments::open(const QVariantList &args)
{
    // FileName, ConfirmConversions, ReadOnly, AddToRecentFiles.
    const QString path = QDir::fromNativeSeparators(args.value(0).toString());
    if (!QFileInfo::exists(path))
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("Cannot find the file %1").arg(path)};
    uno::Sequence<beans::PropertyValue> properties(3);
    properties[0].Name = "Hidden";
    properties[0].Value <<= true;
    // A template is opened itself, not as a new untitled document made from it.
    properties[1].Name = "AsTemplate";
    properties[1].Value <<= false;
    properties[2].Name = "ReadOnly";
    properties[2].Value <<= args.value(2).toBool();
    const uno::Reference<frame::XComponentLoader> loader(m_session->desktop(), uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XComponent> document = loader->loadComponentFromURL(
            toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()), "_blank", 0, properties);
    if (!document.is())
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("The file %1 could not be opened").arg(path)};
    m_session->lastOpened = document;
    auto opened = std::make_shared<WordDocument>(m_session, document);
    opened->readPackageVariables(path);
    return Answer(opened);
}
