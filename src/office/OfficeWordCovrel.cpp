#include "OfficeWordCovrel.h"

#include "AutomationObject.h"
#include "MsOfficeWordTableCovrel.h"
#include "MsOfficeWordTableRowCovrel.h"

#include <QDebug>
#include <QDir>
#include <QRegularExpression>

namespace {

const QString PREFIX = QStringLiteral("[OfficeWordCovrel] ");
const QString WORD_PROG_ID = QStringLiteral("Word.Application");
const int WD_FIELD_DOC_VARIABLE = 64;

void log(const QString &text) { qDebug().noquote() << PREFIX + text; }

} // namespace

QString OfficeWordCovrel::wordApplicationCLSID;

OfficeWordCovrel::OfficeWordCovrel(QObject *parent)
    : QObject(parent)
{
    init(false);
}

OfficeWordCovrel::OfficeWordCovrel(bool newInstance, QObject *parent)
    : QObject(parent)
{
    init(newInstance);
}

QString OfficeWordCovrel::getWordApplicationCLSID()
{
    if (!wordApplicationCLSID.isEmpty())
        return wordApplicationCLSID;
    // Only a found class id is kept: an office installed later is seen on the next try.
    const QString classId = AutomationObject::classIdFromProgId(WORD_PROG_ID);
    if (classId.isEmpty())
        return QString();
    wordApplicationCLSID = classId + QLatin1Char('&');
    return wordApplicationCLSID;
}

void OfficeWordCovrel::init(bool newInstance)
{
    // Attached or started, the object is ours and goes with this layer: an
    // attached Word stays running for the user when our reference to it goes.
    AutomationObject *first = new AutomationObject(this);
    first->setControl(newInstance ? WORD_PROG_ID : getWordApplicationCLSID());
    m_xaWord = first;
    logObjectInfo(QStringLiteral("xaWord"), m_xaWord);
    AutomationObject *application = first->querySubObject("Application");
    if (application && !application->isNull())
        m_xaWord = application;
    logObjectInfo(QStringLiteral("_xaWord"), m_xaWord);
    watch(m_xaWord);
}

void OfficeWordCovrel::watch(AutomationObject *object)
{
    if (object)
        connect(object, &AutomationObject::exception, this, &OfficeWordCovrel::onAxObjectException);
}

void OfficeWordCovrel::deleteAndClear(AutomationObject *&object)
{
    delete object;
    object = nullptr;
}

bool OfficeWordCovrel::isCanUse() const { return m_xaWord && !m_xaWord->isNull(); }

QString OfficeWordCovrel::getCodeCanUse() const
{
    return isCanUse() ? QStringLiteral("ok") : QStringLiteral("office_not_installed");
}

QString OfficeWordCovrel::getVersion() const
{
    return m_xaWord ? m_xaWord->dynamicCall("Version").toString() : QString();
}

AutomationObject *OfficeWordCovrel::getDocuments()
{
    if (!m_xaDocuments && isCanUse()) {
        m_xaDocuments = m_xaWord->querySubObject("Documents");
        logObjectInfo(QStringLiteral("xaDocuments"), m_xaDocuments);
        watch(m_xaDocuments);
    }
    return m_xaDocuments;
}

int OfficeWordCovrel::getDocumentsCount()
{
    AutomationObject *documents = getDocuments();
    if (!documents)
        return 0;
    logObjectInfo(QStringLiteral("getDocuments()"), documents);
    return documents->property("Count").toInt();
}

AutomationObject *OfficeWordCovrel::getDocument() const { return m_xaDocument; }

AutomationObject *OfficeWordCovrel::getDocument(int index)
{
    AutomationObject *documents = getDocuments();
    if (!documents)
        return nullptr;
    AutomationObject *document = documents->querySubObject("Item(QVariant)", index);
    watch(document);
    return document;
}

AutomationObject *OfficeWordCovrel::getDocumentVariables()
{
    if (!m_xaVariables && m_xaDocument) {
        m_xaVariables = m_xaDocument->querySubObject("Variables()");
        logObjectInfo(QStringLiteral("Variables"), m_xaVariables);
        watch(m_xaVariables);
    }
    return m_xaVariables;
}

AutomationObject *OfficeWordCovrel::getDocumentFields()
{
    if (!m_xaFields && m_xaDocument) {
        m_xaFields = m_xaDocument->querySubObject("Fields()");
        logObjectInfo(QStringLiteral("Fields"), m_xaFields);
        watch(m_xaFields);
    }
    return m_xaFields;
}

AutomationObject *OfficeWordCovrel::getTables()
{
    if (!m_xaTables && m_xaDocument) {
        m_xaTables = m_xaDocument->querySubObject("Tables()");
        logObjectInfo(QStringLiteral("Tables"), m_xaTables);
        watch(m_xaTables);
    }
    return m_xaTables;
}

int OfficeWordCovrel::getTablesCount()
{
    AutomationObject *tables = getTables();
    return tables ? tables->dynamicCall("Count()").toInt() : 0;
}

MsOfficeWord::TableCovrel *OfficeWordCovrel::getTable(int index)
{
    AutomationObject *tables = getTables();
    AutomationObject *table = tables ? tables->querySubObject("Item(QVariant)", index) : nullptr;
    watch(table);
    return new MsOfficeWord::TableCovrel(table, m_xaDocument, this);
}

bool OfficeWordCovrel::open(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    // FileName, ConfirmConversions, ReadOnly, AddToRecentFiles.
    QList<QVariant> arguments{native, false, false, false};
    close();
    log(QStringLiteral("Try open file '%1'. Native sepator: '%2'").arg(path, native));
    qDebug().noquote() << getVersion();
    AutomationObject *documents = getDocuments();
    if (documents) {
        logObjectInfo(QStringLiteral("xaWord"), m_xaWord);
        logObjectInfo(QStringLiteral("getDocuments()"), documents);
    }
    m_xaDocument =
            documents ? documents->querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", arguments) : nullptr;
    watch(m_xaDocument);
    logObjectInfo(QStringLiteral("xaDocument"), m_xaDocument);
    log(QStringLiteral("Document is opened. File '%1'").arg(path));
    return true;
}

bool OfficeWordCovrel::isOpend(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    const int count = getDocumentsCount();
    log(QStringLiteral("Check then file '%1' is opened").arg(native));
    for (int index = 1; index <= count; ++index) {
        AutomationObject *document = getDocument(index);
        if (!document)
            continue;
        const QString fullName = document->dynamicCall("FullName()").toString();
        log(QStringLiteral("Document with %1 has FullName = '%2'").arg(index).arg(fullName));
        delete document;
        if (fullName == native)
            return true;
    }
    return false;
}

bool OfficeWordCovrel::close()
{
    if (!m_xaDocument) {
        log(QStringLiteral("Return from close because document not opened"));
        return true;
    }
    log(QStringLiteral("Call close function to close document"));
    deleteAndClear(m_xaFields);
    deleteAndClear(m_xaVariables);
    logObjectInfo(QStringLiteral("xaDocument"), m_xaDocument);
    m_xaDocument->dynamicCall("Close()");
    m_xaDocument = nullptr;
    log(QStringLiteral("End call close function to close document"));
    return true;
}

void OfficeWordCovrel::destroy() { destroy(true); }

void OfficeWordCovrel::destroy(bool closeDocument)
{
    log(QStringLiteral("вызван метод destroy"));
    log(QStringLiteral("1Очистка оставшихся объектов"));
    if (closeDocument)
        close();
    log(QStringLiteral("Очистка оставшихся объектов"));
    const int count = getDocumentsCount();
    log(QStringLiteral("Открыто документов %1").arg(count));
    if (m_xaFields) {
        log(QStringLiteral("Очистка связки с полями документа"));
        deleteAndClear(m_xaFields);
    }
    if (m_xaVariables) {
        log(QStringLiteral("Очистка связки с переменными документа"));
        deleteAndClear(m_xaVariables);
    }
    if (m_xaDocument) {
        log(QStringLiteral("Очистка связки с документом"));
        m_xaDocument = nullptr;
    }
    if (m_xaDocuments) {
        log(QStringLiteral("Очистка связки с документами"));
        m_xaDocuments = nullptr;
    }
    if (!isCanUse())
        return;
    // A Word that still holds documents (the user's, when attached) stays.
    if (count == 0) {
        log(QStringLiteral("Вызов метода Quit"));
        m_xaWord->dynamicCall("Quit()");
    }
    log(QStringLiteral("Очистка связки с объектом ворда"));
    m_xaWord = nullptr;
}

bool OfficeWordCovrel::setVariable(const QString &name, const QString &value)
{
    AutomationObject *variables = getDocumentVariables();
    log(QStringLiteral("Set variable %1 = %2").arg(name, value));
    return variables ? variables->dynamicCall("Add(QVariant,QVariant)", name, value).toBool() : false;
}

bool OfficeWordCovrel::updateDocumentFields()
{
    if (AutomationObject *fields = getDocumentFields())
        fields->dynamicCall("Update()");
    return true;
}

bool OfficeWordCovrel::save(const QString &path)
{
    updateDocumentFields();
    const QString native = QDir::toNativeSeparators(path);
    log(QStringLiteral("Try save document to '%1'. Native sepator: '%2'").arg(path, native));
    // FileName, FileFormat (wdFormatDocument), LockComments, Password, AddToRecentFiles.
    QList<QVariant> arguments{native, 0, false, QStringLiteral(""), false};
    const QVariant result = m_xaDocument
            ? m_xaDocument->dynamicCall("SaveAs(QVariant,QVariant,QVariant,QVariant,QVariant)", arguments)
            : QVariant();
    log(QStringLiteral("Document saved to '%1'. Native sepator: '%2'").arg(path, native));
    return result.toBool();
}

void OfficeWordCovrel::showInterface()
{
    if (!isCanUse())
        return;
    m_xaWord->setProperty("Visible", true);
    m_xaWord->dynamicCall("Activate()");
}

void OfficeWordCovrel::hideInderface()
{
    if (isCanUse())
        m_xaWord->setProperty("Visible", false);
}

QStringList OfficeWordCovrel::availableVariables()
{
    static const QRegularExpression docVariable(QStringLiteral("DOCVARIABLE\\s+[\"']?(\\S*)[\"']?\\s*"));
    QStringList names;
    AutomationObject *fields = getDocumentFields();
    const int count = fields ? fields->dynamicCall("Count()").toInt() : 0;
    for (int index = 1; index <= count; ++index) {
        AutomationObject *field = fields->querySubObject("Item(QVariant)", index);
        if (!field)
            continue;
        if (field->dynamicCall("Type()").toInt() != WD_FIELD_DOC_VARIABLE) {
            qDebug().noquote() << QStringLiteral("skip not wdFieldDocVariable.WdFieldType");
            delete field;
            continue;
        }
        AutomationObject *code = field->querySubObject("Code()");
        QString text = code ? code->dynamicCall("Text()").toString().trimmed() : QString();
        const QString name = text.replace(docVariable, QStringLiteral("\\1")).trimmed();
        delete code;
        delete field;
        log(QStringLiteral("Fields: %1").arg(name));
        names.append(name);
    }
    return names;
}

void OfficeWordCovrel::clearEmptyTablesWithVariables(const QStringList &keys)
{
    const int count = getTablesCount();
    for (int index = 1; index <= count; ++index) {
        MsOfficeWord::TableCovrel *table = getTable(index);
        if (table->hasVerticalMergeCells()) {
            log(QStringLiteral("Пропускаем очистку таблицы %1, так как имеет вертикальные объединения ячеек")
                        .arg(index));
            continue;
        }
        const int rows = table->getRowsCount();
        QList<int> empty;
        for (int row = 1; row <= rows; ++row) {
            MsOfficeWord::TableRowCovrel *tableRow = table->getRow(row);
            if (tableRow && tableRow->hasAllEmptyValuesInField(keys))
                empty.append(row);
        }
        table->removeRows(empty);
    }
}

void OfficeWordCovrel::logObjectInfo(const QString &name, const AutomationObject *object) const
{
    if (!object || object->isNull()) {
        log(QStringLiteral("Object %1 is null. Cannot get meta info.").arg(name));
        return;
    }
    log(QStringLiteral("AX object of %1 is '%2'").arg(name, object->classInfo("CoClass")));
}

void OfficeWordCovrel::onAxObjectException(int code, const QString &source, const QString &desc, const QString &help)
{
    qDebug().noquote() << QStringLiteral("Exception: ");
    qDebug().noquote() << QStringLiteral("  a1: %1").arg(code);
    qDebug().noquote() << QStringLiteral("  a2: %1").arg(source);
    qDebug().noquote() << QStringLiteral("  a3: %1").arg(desc);
    qDebug().noquote() << QStringLiteral("  a4: %1").arg(help);
}
