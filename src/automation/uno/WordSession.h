#pragma once

#include "OfficeProcess.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <QHash>
#include <QList>
#include <QMap>
#include <QTemporaryDir>
#include <memory>

// The office process that stands in for one Word application, and what
// Word keeps that the office does not: each document's variables.
class WordSession
{
public:
    WordSession(const OfficeInstallation &installation, const QString &pipeName, const QString &profileDir, bool shared,
                std::unique_ptr<QTemporaryDir> privateProfile);

    bool connect(QString *error);
    bool isConnected() const;
    bool isShared() const;
    // The suite's version text, read once from its installation.
    QString version() const;
    // Throws AutomationFault when the office has gone.
    css::uno::Reference<css::frame::XDesktop2> desktop() const;
    css::uno::Reference<css::uno::XComponentContext> remoteContext() const;
    // Open text documents only, in the office's order.
    QList<css::uno::Reference<css::lang::XComponent>> textDocuments() const;
    QMap<QString, QString> &variables(const css::uno::Reference<css::uno::XInterface> &document);
    void forget(const css::uno::Reference<css::uno::XInterface> &document);
    void quit();
    void release();

    bool visible = false;
    // The document Documents.Open loaded last: the one Activate() shows.
    css::uno::Reference<css::lang::XComponent> lastOpened;

private:
    OfficeProcess m_process;
    bool m_shared;
    QString m_version;
    std::unique_ptr<QTemporaryDir> m_privateProfile;
    QHash<void *, QMap<QString, QString>> m_variables;
};
