#include "DialogService.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
DialogService *s_installed = nullptr;
}

DialogService::~DialogService()
{
    if (s_installed == this)
        s_installed = nullptr;
}

QString DialogService::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir, Links links)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (links == Links::Keep)
        options |= QFileDialog::DontResolveSymlinks;
    return QFileDialog::getExistingDirectory(parent, caption, dir, options);
}

QString DialogService::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                       const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DialogService::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                       const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void DialogService::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

DialogService *DialogService::current()
{
    static DialogService native;
    return s_installed ? s_installed : &native;
}

void DialogService::install(DialogService *service) { s_installed = service; }
