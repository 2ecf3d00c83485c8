#include "WordApplication.h"

#include "UnoRuntime.h"
#include "WordDocuments.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDesktopServices>
#include <QUrl>

using namespace css;

WordApplication::WordApplication(std::shared_ptr<WordSession> session)
    : m_session(std::move(session))
{ }

QString WordApplication::coClass() const { return QStringLiteral("Application"); }

EmulatedObject::Answer WordApplication::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordApplication> members{
            {QStringLiteral("Application"), &WordApplication::application},
            {QStringLiteral("Documents"), &WordApplication::documents},
            {QStringLiteral("Version"), &WordApplication::version},
            {QStringLiteral("Visible"), &WordApplication::visible},
            {QStringLiteral("Activate"), &WordApplication::activate},
            {QStringLiteral("Quit"), &WordApplication::quit},
    };
    return dispatch(this, members, member, args);
}

void WordApplication::set(const QString &name, const QVariant &value)
{
    if (name != QLatin1String("Visible"))
        throwUnknownMember(name);
    m_session->visible = value.toBool();
}

EmulatedObject::Answer WordApplication::application(const QVariantList &)
{
    return Answer(std::make_shared<WordApplication>(m_session));
}

EmulatedObject::Answer WordApplication::documents(const QVariantList &)
{
    m_session->desktop();
    return Answer(std::make_shared<WordDocuments>(m_session));
}

EmulatedObject::Answer WordApplication::version(const QVariantList &) { return Answer(m_session->version()); }

EmulatedObject::Answer WordApplication::visible(const QVariantList &) { return Answer(m_session->visible); }

EmulatedObject::Answer WordApplication::activate(const QVariantList &)
{
    // A headless office shows no window: the user gets the document in the
    // desktop's default application instead. The hidden copy is closed, or
    // the file would count as open in the office until it quits.
    const uno::Reference<frame::XModel> model(m_session->lastOpened, uno::UNO_QUERY);
    if (!m_session->visible || !model.is())
        return Answer();
    const QUrl url(toQString(model->getURL()));
    const uno::Reference<util::XModifiable> modifiable(model, uno::UNO_QUERY);
    if (!url.isLocalFile() || (modifiable.is() && modifiable->isModified()))
        return Answer();
    QDesktopServices::openUrl(url);
    m_session->lastOpened.clear();
    m_session->forget(model);
    const uno::Reference<util::XCloseable> closeable(model, uno::UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    return Answer();
}

EmulatedObject::Answer WordApplication::quit(const QVariantList &)
{
    m_session->quit();
    return Answer();
}
