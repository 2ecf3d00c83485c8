#include "OfficeBridge.h"

#include "AppEnv.h"
#include "DesktopOpener.h"
#include "DocxChanger.h"
#include "DocxTemplate.h"
#include "OfficeWordCovrel.h"
#include "WorkClaim.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

namespace {

const QString FIELDS = QStringLiteral("fields");
const QString CLEAR_TABLES_WITH_KEYS = QStringLiteral("clearTablesWithKeys");
const QString OPEN_AFTER_SAVE = QStringLiteral("openAfterSave");
const QString TEMPLATE_NOT_FOUND = QStringLiteral("Не найден файл шаблона");
const QString WORKING_COPY_NAME = QStringLiteral("template_generator");
const QString OFFICE_NOT_INSTALLED = QStringLiteral("office_not_installed");
const QString OUTPUT_NOT_SAVED = QStringLiteral("outputNotSaved");
const QString OFFICE_NOT_INSTALLED_TEXT = QStringLiteral("Офисный пакет не установлен или не запускается");
const QString OUTPUT_NOT_SAVED_TEXT = QStringLiteral("Офисный пакет не записал документ %1");

QString inMessage(const QString &code) { return QStringLiteral("errorCode:") + code; }

} // namespace

OfficeBridge::OfficeBridge(QObject *parent)
    : QObject(parent)
{ }

void OfficeBridge::generateFromTemplate(const QString &handlerId, const QString &templateFilePath, QVariantMap options,
                                        const QString &outputPath)
{
    qDebug().noquote() << QStringLiteral("[OfficeBridge] Шаблон для файла %1").arg(templateFilePath) << options;
    if (templateFilePath.toLower().indexOf(QStringLiteral(".docx")) > 0) {
        qDebug().noquote() << QStringLiteral("Input template .docx :") << templateFilePath;
        // Reading through operator[] leaves the key (empty) in the options the signals carry.
        const bool openAfterSave = options[OPEN_AFTER_SAVE].toBool();
        generateTemplateByDocxEngine(handlerId, templateFilePath, options, outputPath, openAfterSave);
        return;
    }
    generateTemplateByOfficeEngine(handlerId, templateFilePath, options, outputPath);
}

void OfficeBridge::generateTemplateByDocxEngine(const QString &handlerId, const QString &templateFilePath,
                                                QVariantMap &options, const QString &outputPath, bool openAfterSave)
{
    qDebug().noquote() << QStringLiteral("Вызван метод OfficeBridge::generateDocx: \n") << handlerId << templateFilePath
                       << QStringLiteral("options: ") << options << outputPath;
    const std::unique_ptr<QFile> file = getContentTemplateFile(templateFilePath);
    if (!file) {
        emit generateDocxError(handlerId, templateFilePath, options, QStringLiteral("errorFile"), TEMPLATE_NOT_FOUND);
        return;
    }
    QString output = getOutputFilePath(outputPath);
    if (!output.endsWith(QStringLiteral(".docx")))
        output += QStringLiteral(".docx");

    const QString templatePath = QDir::fromNativeSeparators(file->fileName());
    if (!QFile::exists(templatePath)) {
        emit generateDocxError(handlerId, templatePath, options, QStringLiteral("errorFile"), TEMPLATE_NOT_FOUND);
        return;
    }
    auto *job = new DocxTemplate(handlerId, templatePath, this);
    job->setOutputPath(output);
    connect(job, &DocxTemplate::docxTemplateFinished, this, &OfficeBridge::docxTemplateFinished);
    connect(job, &DocxTemplate::docxTemplateError, this, &OfficeBridge::docxTemplateError);

    const TemplateInput input = takeTemplateInput(options);
    job->addDocVars(input.variables, input.keyVarsRemoveInCells);
    // Jobs are not reused; releasing them keeps a long session from piling them up.
    job->deleteLater();

    if (openAfterSave)
        openFile(handlerId, output);
    // Pages wait for these two also after a job error.
    emit generateDocxFinished(handlerId, output);
    emit generateFromTemplateFinished(handlerId, templateFilePath, options, outputPath, output);
}

OfficeBridge::TemplateInput OfficeBridge::takeTemplateInput(QVariantMap &options)
{
    TemplateInput input;
    const QVariant fields = options.take(FIELDS);
    QVariantMap values;
    if (!fields.isNull()) {
        values = fields.toMap();
        const QVariant keys = options.take(CLEAR_TABLES_WITH_KEYS);
        if (!keys.isNull())
            input.keyVarsRemoveInCells = keys.toStringList();
    } else {
        values = options;
    }
    // A value without a text form (null, undefined, an object) becomes a null
    // string: the variable is absent, unlike "" which is present and empty.
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        input.variables.insert(it.key(), it.value().toString());
    qDebug().noquote() << QStringLiteral("varsInput ") << input.variables;
    return input;
}

void OfficeBridge::generateTemplateByOfficeEngine(const QString &handlerId, const QString &templateFilePath,
                                                  QVariantMap &options, const QString &outputPath)
{
    const QDateTime callStart = QDateTime::currentDateTimeUtc();
    QString real = getOutputFilePath(outputPath);
    emit generateFromTemplateStarted(handlerId, templateFilePath, options, outputPath, real);
    const std::unique_ptr<QFile> file = getContentTemplateFile(templateFilePath);
    if (!file) {
        qDebug().noquote() << QStringLiteral("[OfficeBridge] Для шаблон '%1' не сущесвует файла").arg(templateFilePath);
        emit generateFromTemplateError(handlerId, templateFilePath, options, outputPath, real, TEMPLATE_NOT_FOUND,
                                       TEMPLATE_NOT_FOUND);
        return;
    }
    const QString templateSuffix = QFileInfo(file->fileName()).suffix();
    const int lastDot = real.lastIndexOf(QLatin1Char('.'));
    const QString realSuffix = lastDot < 0 ? QString() : real.mid(lastDot + 1);
    if (realSuffix.isEmpty() || realSuffix != templateSuffix)
        real += QLatin1Char('.') + templateSuffix;
    QDir().mkpath(QFileInfo(real).absolutePath());

    auto *attached = new OfficeWordCovrel(this);
    if (attached->isOpend(real)) {
        qDebug().noquote() << QStringLiteral("[OfficeBridge] Файл %1 уже открыт.").arg(real);
        emit generateFromTemplateError(handlerId, templateFilePath, options, outputPath, real,
                                       QStringLiteral("errorCode:outputPathRealIsOpened"),
                                       QStringLiteral("Файл %1 уже открыт в офисном пакете").arg(real));
        attached->destroy();
        return;
    }

    auto progress = [&](int value, const QString &state) {
        emit generateFromTemplateInProcess(handlerId, templateFilePath, options, outputPath, real, value, state);
    };
    auto fail = [&](const QString &code, const QString &text) {
        qDebug().noquote() << QStringLiteral("[OfficeBridge] ") + text;
        emit generateFromTemplateError(handlerId, templateFilePath, options, outputPath, real, inMessage(code), text);
    };
    auto *word = new OfficeWordCovrel(true, this);
    // Without an office every later step would pass without doing anything.
    if (!word->isCanUse()) {
        fail(OFFICE_NOT_INSTALLED, OFFICE_NOT_INSTALLED_TEXT);
        return;
    }
    const QDateTime stampBefore = QFileInfo(real).lastModified();
    // Claimed while it exists: a copy a killed run left goes at the next start.
    std::unique_ptr<WorkClaim> copyClaim;
    const QString copy = makeWorkingCopy(file->fileName(), copyClaim);
    progress(5, QStringLiteral("started"));
    word->open(copy);
    progress(10, QStringLiteral("fileOpened"));

    const TemplateInput input = takeTemplateInput(options);
    const int count = input.variables.size();
    int index = 0;
    for (auto it = input.variables.cbegin(); it != input.variables.cend(); ++it, ++index) {
        word->setVariable(it.key(), it.value());
        progress((70 / count) * (index + 1), QStringLiteral("replacing"));
    }
    progress(80, QStringLiteral("clearTables"));
    word->clearEmptyTablesWithVariables(input.keyVarsRemoveInCells);
    progress(90, QStringLiteral("fileSaving"));
    word->save(real);
    // The office answers a save it could not do like one it did.
    if (!writtenSince(real, callStart, stampBefore)) {
        word->destroy();
        QFile::remove(copy);
        fail(OUTPUT_NOT_SAVED, OUTPUT_NOT_SAVED_TEXT.arg(real));
        return;
    }
    progress(95, QStringLiteral("faleSaved"));

    if (options[OPEN_AFTER_SAVE].toBool()) {
        qDebug().noquote() << QStringLiteral("[OfficeBridge] Откываем файл %1.").arg(real);
        progress(98, QStringLiteral("faleSaved"));
        word->destroy();
        auto *shown = new OfficeWordCovrel(this);
        shown->open(real);
        shown->showInterface();
    } else {
        word->destroy();
    }
    QFile::remove(copy);
    progress(100, QStringLiteral("finished"));
    emit generateFromTemplateFinished(handlerId, templateFilePath, options, outputPath, real);
}

QString OfficeBridge::makeWorkingCopy(const QString &templatePath, std::unique_ptr<WorkClaim> &claim)
{
    QString name;
    {
        // Reserve a unique name ("template_generator.<random>"), claim it, then free it for the copy.
        QTemporaryFile reserve(AppEnv::getStoreTmpFilePath(WORKING_COPY_NAME));
        if (reserve.open()) {
            name = reserve.fileName();
            claim.reset(new WorkClaim(name));
            claim->claim();
        }
    }
    QFile::copy(templatePath, name);
    return name;
}

void OfficeBridge::removeStaleWork()
{
    // Only an existing folder is looked into: the store's folders are made on first use.
    const QDir tempDir(AppEnv::getStoreDir().absoluteFilePath(AppEnv::STORE_TMP_DIR_NAME));
    if (!tempDir.exists())
        return;
    WorkClaim::removeStale(
            tempDir, QRegularExpression(QRegularExpression::escape(WORKING_COPY_NAME) + QStringLiteral("\\.\\w+")),
            WorkClaim::Unclaimed::Remove);
    DocxChanger::removeStaleWork(tempDir);
}

bool OfficeBridge::writtenSince(const QString &path, const QDateTime &callStart, const QDateTime &stampBefore)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QDateTime stamp = info.lastModified();
    if (stamp >= callStart)
        return true;
    // File systems that keep whole seconds (or two) round the stamp down: a
    // stamp that fell just before the call counts when it is not the old one.
    const QDateTime earliest = callStart.addMSecs(-callStart.time().msec() - 2000);
    return stamp >= earliest && stamp != stampBefore;
}

std::unique_ptr<QFile> OfficeBridge::getContentTemplateFile(const QString &name) const
{
    std::unique_ptr<QFile> dataFile(AppEnv::getContentDataFile(name));
    if (dataFile->exists())
        return dataFile;
    qDebug().noquote() << QStringLiteral("[OfficeBridge] Для шаблон '%1' не сущесвует файл по пути '%2'")
                                  .arg(name, QFileInfo(*dataFile).absoluteFilePath());
    std::unique_ptr<QFile> contentFile(AppEnv::getContentFile(name));
    qDebug().noquote() << QStringLiteral("template: ") << contentFile->fileName();
    if (contentFile->exists())
        return contentFile;
    qDebug().noquote() << QStringLiteral("[OfficeBridge] Для шаблон '%1' не сущесвует файл по пути '%2'")
                                  .arg(name, QFileInfo(*contentFile).absoluteFilePath());
    return nullptr;
}

QString OfficeBridge::getOutputFilePath(const QString &path) const
{
    return AppEnv::resolve(AppEnv::getStoreDocsDir(), path);
}

void OfficeBridge::openFile(const QString &handlerId, const QString &filePath)
{
    qDebug().noquote() << QStringLiteral("[OfficeBridge] Получен запрос на метод openFile. Id: %1 ").arg(handlerId);
    openFileExternal(handlerId, filePath);
    emit openFileOpen(handlerId, filePath);
}

void OfficeBridge::openFileExternal(const QString &handlerId, const QString &path)
{
    qDebug().noquote() << tr("Получен запроc на метод openFileExternal. Id: %1 path: %2").arg(handlerId, path);
    if (path.isEmpty()) {
        emit openFileExternalError(handlerId, path, tr("Путь к файлу не задан."));
        return;
    }
    QString found = path;
    if (!QFileInfo::exists(found)) {
        found = AppEnv::resolve(AppEnv::getContentDir(), path);
        if (!QFileInfo::exists(found)) {
            const QString message = tr("Файл не найден. %1").arg(found);
            qDebug().noquote() << message;
            emit openFileExternalError(handlerId, path, message);
            return;
        }
    }
    const QUrl url = QUrl::fromLocalFile(QFileInfo(found).absoluteFilePath());
    qDebug().noquote() << tr("urlForLocalFile. %1").arg(url.toString());
    if (!DesktopOpener::current()->openUrl(url))
        qDebug().noquote() << tr("QDesktopServices::openUrl cannot open file");
    emit openFileExternalFinished(handlerId, path);
}

void OfficeBridge::saveFile(const QString &handlerId, const QString &filePath, const QString &saveTo)
{
    qDebug().noquote() << QStringLiteral("[OfficeBridge] Получен запрос на метод saveFile. Id: %1 ").arg(handlerId);
    const QDateTime callStart = QDateTime::currentDateTimeUtc();
    const QString source = AppEnv::getFilePath(filePath);
    const QString target = AppEnv::getFilePath(saveTo);
    auto *word = new OfficeWordCovrel(this);
    if (!word->isCanUse()) {
        qDebug().noquote() << QStringLiteral("[OfficeBridge] ") + OFFICE_NOT_INSTALLED_TEXT;
        emit saveFileError(handlerId, filePath, saveTo, OFFICE_NOT_INSTALLED, OFFICE_NOT_INSTALLED_TEXT);
        return;
    }
    const QDateTime stampBefore = QFileInfo(target).lastModified();
    word->open(source);
    word->save(target);
    word->close();
    if (!writtenSince(target, callStart, stampBefore)) {
        const QString text = OUTPUT_NOT_SAVED_TEXT.arg(target);
        qDebug().noquote() << QStringLiteral("[OfficeBridge] ") + text;
        emit saveFileError(handlerId, filePath, saveTo, OUTPUT_NOT_SAVED, text);
        return;
    }
    emit saveFileSaved(handlerId, filePath, saveTo);
}

void OfficeBridge::checkAvailable(const QString &handlerId)
{
    qDebug().noquote()
            << QStringLiteral("[OfficeBridge] Получен запрос на метод checkAvailable. Id: %1 ").arg(handlerId);
    auto *word = new OfficeWordCovrel(this);
    emit checkAvailableResult(handlerId, word->isCanUse(), word->getCodeCanUse());
    word->destroy();
}

QString OfficeBridge::version()
{
    auto *word = new OfficeWordCovrel(this);
    const QString text = word->getVersion();
    word->destroy();
    return text;
}
