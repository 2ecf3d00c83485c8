/*
 * Types of what the shell publishes to the page: the raw bridge
 * `__covrelBridge` with its sub-bridges and script objects, and the promise
 * client `Covrel` of covrel.js. The descriptions here are the source of
 * docs/page-api.md (scripts/page-api regenerates it); a test compares every
 * member with the built program's meta-objects.
 *
 * Tags read by the reference:
 *   @answers  the signals that answer one call, in order: "a → b" is a then b,
 *             "a | b" is one of them; several @answers are alternatives.
 *   @error    an error code and its message as the shell sends them ("-" when
 *             the signal has no code); a quoted message is a text of the shell.
 *   @wrapper  the promise wrapper of covrel.js that makes this call.
 */

declare namespace Covrel {
    /** A value as it crosses between the page and the shell. */
    type Variant = string | number | boolean | null | Variant[] | VariantMap;

    /** A plain object of values (a map of the shell). */
    interface VariantMap {
        [key: string]: Variant;
    }

    /**
     * A signal of a script object: the page attaches a handler before it
     * calls, and the handler gets the signal's arguments, the handlerId first.
     */
    interface Signal<Args extends unknown[]> {
        connect(handler: (...args: Args) => void): void;
        disconnect(handler: (...args: Args) => void): void;
    }

    /**
     * The script object published as `__covrelBridge`: general services, the
     * store and the content data, files in working folders, external
     * programs, git, and the sub-bridges.
     */
    interface CovrelBridge {
        /** Document generation from templates, opening and re-saving documents. */
        readonly officeBridge: OfficeBridge;
        /** Records from the registry's integration program. */
        readonly talqDorvBridge: TalqDorv.Bridge;
        /** ZIP archives through 7-Zip. */
        readonly zipBridge: Zip.Bridge;
        /** Workbooks through the spreadsheet application. */
        readonly spreedSheetBridge: SpreedSheet.Bridge;
        /** PDF files from the page's print pages. */
        readonly wkhtmltopdfBridge: Wkhtmltopdf.Bridge;

        /**
         * Answers at once with the same text (a check that the bridge is live).
         * @answers echoSender | echoError
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)" the text is too long to carry back
         * @wrapper Covrel.echo
         */
        echo(handlerId: string, str: string): void;
        /**
         * Appends one record (the message and params as its data) to the JSON journal in the store's logs folder.
         * @answers nothing
         * @wrapper Covrel.log
         */
        logger(handlerId: string, message: string, params: VariantMap): void;
        /**
         * The page's answer to appCloseEvent: with accept true the workbooks are closed and the window closes
         * (the program ends); with false the window stays open. May also be called on its own to end the program.
         * @answers nothing
         * @wrapper Covrel.quit
         */
        close(handlerId: string, accept: boolean): void;
        /**
         * Starts a program with the arguments in the working folder (an empty one: the program's own). The program
         * sees LD_LIBRARY_PATH empty and the rest of the shell's environment. The path may use backslashes; every
         * signal carries it as given.
         * @answers execExternalStarted → execExternalFinished | execExternalError
         * @answers execExternalError (the file is missing, not executable or cannot be started)
         * @error - "Испольняемый файл не найден" no file at the path
         * @error - "Файл не является исполняемым" the file may not be executed
         * @error - "Неудалось запустить программу" the system could not start it
         * @error - "Программа завершилась с ошибкой" it ended with an exit code other than 0, or crashed
         * @wrapper Covrel.execExternal
         */
        execExternal(handlerId: string, execPath: string, arguments: string[], workingDir: string): void;
        /**
         * Asks git for its version ("git -v"); the window waits while it runs.
         * @answers checkGitVersionFinished | checkGitVersionError
         * @error - "Git-клиент не установлен" git could not be started or did not answer in time
         * @error - "Git-клиент завершился аварийно" git crashed
         * @error - "Git-клиент завершился с кодом %1" followed by what git said
         * @wrapper Covrel.gitVersion
         */
        checkGitVersion(handlerId: string): void;
        /**
         * Clones an HTTPS repository into the new folder destFolderName under the program's working folder (git
         * makes the repository's own folder inside it), on the branch when one is given. For an HTTPS address,
         * git gets the login and password from the shell (never on its command line, nor stored in the clone);
         * texts from git never show a password. The window waits while git works.
         * @answers gitCloneFinished | gitCloneError
         * @error - "Не указан url репозитория для клонирования" repoUrl is empty (destPath is then the bare folder name)
         * @error - "Некорректный адрес репозитория" repoUrl begins with "-"
         * @error - "Указанная папка для клонирования уже существует" the folder exists; git is not run
         * @error - "При выполнении клонирования репозитория возникла непредвиденная ошибка" git failed without a message; otherwise its own output is the message
         * @error - "Git-клиент не сообщал о ходе работы %1 секунд и был остановлен" the transfer stalled
         * @wrapper Covrel.gitClone
         */
        gitClone(handlerId: string, repoUrl: string, login: string, pass: string, destFolderName: string, branch: string): void;
        /**
         * Pulls from the address (with the login and password, as gitClone) into the existing working copy
         * destFolderName, merging divergent branches; with a branch, that branch is fetched and merged. The window
         * waits.
         * @answers gitPullFinished | gitPullError
         * @error - "Не указан url репозитория" repoUrl is empty
         * @error - "Некорректный адрес репозитория" repoUrl begins with "-"
         * @error - "Некорректное имя ветки" branch begins with "-"
         * @error - "Указанная папка не существует" no such folder
         * @error - "При выполнении PULL репозитория возникла непредвиденная ошибка" git failed without a message; otherwise its own output is the message
         * @error - "Git-клиент не сообщал о ходе работы %1 секунд и был остановлен" the transfer stalled
         * @wrapper Covrel.gitPull
         */
        gitPull(handlerId: string, repoUrl: string, login: string, pass: string, destFolderName: string, branch: string): void;
        /**
         * Adds every change in the working copy destFolderName, commits it with the comment (as author when one is
         * given) and pushes to the working copy's own remote with the login and password (as gitClone); nothing
         * new to commit still pushes earlier commits. The window waits.
         * @answers gitCommitAndPushFinished | gitCommitAndPushError
         * @error - "Не указан url репозитория" repoUrl is empty
         * @error - "Указанная папка не существует" no such folder
         * @error - "При выполнении коммита в репозиторий возникла непредвиденная ошибка" git failed without a message; otherwise its own output is the message
         * @error - "Отправка изменений в репозиторий не завершилась за %1 секунд" the push did not end in time
         * @wrapper Covrel.gitCommitAndPush
         */
        gitCommitAndPush(handlerId: string, repoUrl: string, login: string, pass: string, destFolderName: string, author: string, comment: string): void;
        /**
         * Reads a UTF-8 text file (CR LF read as LF) shipped in the content data folder; a leading "data/" in the
         * name is dropped. With useCurrentFolderPath the name is appended to the program's working folder instead.
         * @answers readFromContentDataFinished | readFromContentDataError
         * @error fileNotExists "Файл %1 не найден." %1 is the name as given
         * @error cannotOpenFile "Ошибка открытия файла."
         * @error invalidName "Недопустимое имя файла" the name holds control characters or is longer than any path
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)"
         * @wrapper Covrel.readContentData
         */
        readFromContentData(handlerId: string, fileName: string, useCurrentFolderPath?: boolean): void;
        /**
         * Reads a UTF-8 text file (CR LF read as LF) from the store; a relative name is under the store folder.
         * @answers readFromStoreFinished | readFromStoreError
         * @error fileNotExists "Файл %1 не найден." %1 is the name as given
         * @error cannotOpenFile "Ошибка чтения из хранилища"
         * @error invalidName "Недопустимое имя файла" the name holds control characters or is longer than any path
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)"
         * @wrapper Covrel.readStore
         */
        readFromStore(handlerId: string, fileName: string): void;
        /**
         * Writes the text as UTF-8, unchanged, into the store, making missing folders; the earlier file is
         * replaced only by a complete new one.
         * @answers writeToStoreFinished | writeToStoreError
         * @error - "Ошибка записи в хранилище" the folder or the file could not be written
         * @error - "Недопустимое имя файла" the name holds control characters or is longer than any path
         * @wrapper Covrel.writeStore
         */
        writeToStore(handlerId: string, fileName: string, content: string): void;
        /**
         * Copies a content data file to the user: with saveToDefaultDir into the store documents folder (an
         * existing file there is kept), otherwise where the user points the save dialog. The copy is named
         * correctFileName (or the source's name) and keeps the source's suffix.
         * @answers copyDataFileStarted → copyDataFileFinished | copyDataFileError
         * @answers copyDataFileCancelled (the user cancelled the dialog)
         * @answers copyDataFileError (the source is missing, or the file exists in the documents folder)
         * @error fileNotExists "Файл %1 не найден" no such content data file
         * @error fileExists "Файл %1 уже существует" the documents folder has a file of that name
         * @error cannotCopyFile "Не удалось скопировать файл %1 в %2"
         * @error invalidName "Недопустимое имя файла"
         * @wrapper Covrel.copyDataFile
         */
        copyDateFile(handlerId: string, filePath: string, correctFileName: string, saveToDefaultDir?: boolean): void;
        /**
         * Lets the user choose a folder (the dialog runs inside the call); an empty path when cancelled.
         * @answers showFileDialogForSelectDirFinished
         * @wrapper Covrel.chooseDir
         */
        showFileDialogForSelectDir(handlerId: string): void;
        /**
         * Lets the user choose a file among the patterns ("*.xlsx"; none: every file); an empty path when cancelled.
         * @answers showFileDialogForSelectFileFinished
         * @wrapper Covrel.chooseFile
         */
        showFileDialogForSelectFile(handlerId: string, fileFilters: string[]): void;
        /**
         * Reads the UTF-8 text file fname in the folder workDir (absolute, or relative to the program's working
         * folder); CR LF is read as LF.
         * @answers openFileFinished | openFileError
         * @error cannotOpenFile "Cannot open file: %1" %1 is the system's reason
         * @error invalidName "Invalid file name. " a name holds control characters or is longer than any path
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)"
         * @wrapper Covrel.openFile
         */
        openFile(handlerId: string, workDir: string, fname: string): void;
        /**
         * Writes the text as UTF-8 with CR LF line ends to fname in the existing folder workDir; the earlier file
         * is replaced only by a complete new one.
         * @answers saveFileFinished | saveFileError
         * @error errorSave "Cannot save file: " followed by the system's reason
         * @error errorSave "Failed to save: " followed by the system's reason (the new file could not replace the old)
         * @error invalidName "Invalid file name. "
         * @wrapper Covrel.saveFile
         */
        saveFile(handlerId: string, workDir: string, fname: string, data: string): void;
        /**
         * Deletes the file fname in the folder workDir.
         * @answers deleteFileFinished | deleteFileError
         * @error notFound "Failed file not found"
         * @error errorDelete "Failed to delete"
         * @error invalidName "Invalid file name. "
         * @wrapper Covrel.deleteFile
         */
        deleteFile(handlerId: string, workDir: string, fname: string): void;
        /**
         * Copies each file from[i] to workdirTo/to[i], making folders; an existing target is replaced only with
         * overwrite. Each file answers on its own, then the status list ("ok" or "false" per file) ends the call.
         * @answers copyFileFinished | copyFileError for each file → copyFileStatusFinished
         * @answers copyFileError (from and to differ in length, or the lists are too long to answer; no status list follows)
         * @error errorInput "Different size FROM and TO array."
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)" the lists are too long to carry back
         * @error invalidName "Invalid file name. " a name holds control characters or is longer than any path
         * @error errorPathEmpty "Error, one from file paths is empty."
         * @error errorCreateDir "Error create dir. " followed by the folder
         * @error errorFile "Source file is not exist. " followed by the path
         * @error errorFile "File is already exists. " followed by the path (without overwrite)
         * @error errorCopyFile "Error copy files. "
         * @wrapper Covrel.copyFiles
         */
        copyFile(handlerId: string, from: string[], workdirTo: string, to: string[], overwrite: boolean): void;
        /**
         * Tells for each path under workDir whether it exists: each answers on its own, then the status list
         * ("ok" or "false" per path) ends the call.
         * @answers checkExistedFinished | checkExistedError for each path → checkExistedStatusFinished
         * @answers checkExistedError (the list is too long to answer; no status list follows)
         * @error errorNotFound "File not found. "
         * @error invalidName "Invalid file name. "
         * @error tooLarge "Ответ слишком велик для передачи странице (предел %1 символов)" the list is too long (path is empty)
         * @wrapper Covrel.checkExisted
         */
        checkExisted(handlerId: string, workDir: string, paths: string[]): void;
        /**
         * Lists the plain files (no hidden ones, no folders) of workDir matching the pattern, sorted without
         * regard to case; a relative workDir is under the program's working folder.
         * @answers getFilesInFolderFinished | getFilesInFolderError
         * @error - "Указанная папка не существует"
         * @error - "Недопустимое имя папки" the folder name holds control characters or is longer than any path
         * @error - "Ответ слишком велик для передачи странице (предел %1 символов)" too many names to carry back
         * @wrapper Covrel.listFiles
         */
        getFilesInFolder(handlerId: string, workDir: string, pattern: string): void;

        /**
         * Sounds the system bell.
         * @wrapper Covrel.beep
         */
        beep(): void;
        /**
         * Whether the program was started with --internal-link.
         * @wrapper none
         */
        isInternalLink(): boolean;
        /**
         * The content folder (the page's own files).
         * @wrapper Covrel.directories
         */
        getContentDirPath(): string;
        /**
         * The content data folder (data files shipped with the page).
         * @wrapper Covrel.directories
         */
        getContentDataDirPath(): string;
        /**
         * The store folder, made when missing: store/ beside the program, or $XDG_DATA_HOME/covrel/store when
         * the program's folder is not writable.
         * @wrapper Covrel.directories
         */
        getStoreDirPath(): string;
        /**
         * The store documents folder: the one chosen by the page, else store/docs (made when missing).
         * @wrapper Covrel.directories
         */
        getStoreDocsDirPath(): string;
        /**
         * Changes settings: only STORE_DOCS_DIR_PATH is read (backslashes become slashes; empty returns to the
         * default documents folder); other keys are ignored.
         * @wrapper Covrel.setStoreDocsDir
         */
        changeAppEnv(vars: VariantMap): void;
        /**
         * The names of the printers installed on the system.
         * @wrapper Covrel.printers
         */
        availablePrinterNames(): string[];
        /**
         * Whether execExternal would start the program (the file exists and may be executed); starts nothing.
         * @wrapper Covrel.isExecExternal
         */
        isExecExternal(execPath: string, arguments: string[], workingDir: string): boolean;
        /**
         * Whether the file exists in the store.
         * @wrapper Covrel.storeFileExists
         */
        isStoreFileExists(fileName: string): boolean;
        /**
         * Whether the store folder exists and may be written.
         * @wrapper Covrel.storeWritable
         */
        checkStoreDir(): boolean;
        /**
         * Whether the file exists in the content data folder (a leading "data/" is dropped).
         * @wrapper Covrel.contentDataFileExists
         */
        isContentDataFileExists(fileName: string): boolean;
        /**
         * Lets the user choose the store documents folder (the dialog runs inside the call) and returns it;
         * empty when cancelled (the folder stays as it was).
         * @wrapper Covrel.chooseDocsDir
         */
        changeStoreDocsDirPath(): string;
        /**
         * Opens the folder of the path (the part before the last slash) in the desktop's file manager.
         * @wrapper Covrel.showFolderOf
         */
        openStoreDir(dir: string): void;

        /** Answer of echo. */
        readonly echoSender: Signal<[handlerId: string, str: string]>;
        readonly echoError: Signal<[handlerId: string, errorCode: string, errorMessage: string]>;
        /**
         * The user tries to close the window: the page answers with close(handlerId, accept). Until it accepts,
         * the window stays open.
         */
        readonly appCloseEvent: Signal<[]>;
        /** The program runs. */
        readonly execExternalStarted: Signal<[handlerId: string, execPath: string]>;
        /** The program ended with exit code 0. */
        readonly execExternalFinished: Signal<[handlerId: string, execPath: string]>;
        readonly execExternalError: Signal<[handlerId: string, execPath: string, errorMessage: string]>;
        /** version: git's output ("git version 2.39.5"). */
        readonly checkGitVersionFinished: Signal<[handlerId: string, version: string]>;
        readonly checkGitVersionError: Signal<[handlerId: string, error: string]>;
        readonly gitCloneFinished: Signal<[handlerId: string, repoUrl: string, destPath: string]>;
        readonly gitCloneError: Signal<[handlerId: string, repoUrl: string, destPath: string, error: string]>;
        readonly gitPullFinished: Signal<[handlerId: string, repoUrl: string, destPath: string]>;
        readonly gitPullError: Signal<[handlerId: string, repoUrl: string, destPath: string, error: string]>;
        readonly gitCommitAndPushFinished: Signal<[handlerId: string, repoUrl: string, destPath: string]>;
        readonly gitCommitAndPushError: Signal<[handlerId: string, repoUrl: string, destPath: string, error: string]>;
        readonly readFromContentDataFinished: Signal<[handlerId: string, fileName: string, content: string]>;
        readonly readFromContentDataError: Signal<[handlerId: string, fileName: string, errorCode: string, errorMessage: string]>;
        readonly readFromStoreFinished: Signal<[handlerId: string, fileName: string, content: string]>;
        readonly readFromStoreError: Signal<[handlerId: string, fileName: string, errorCode: string, errorMessage: string]>;
        readonly writeToStoreFinished: Signal<[handlerId: string, fileName: string]>;
        readonly writeToStoreError: Signal<[handlerId: string, fileName: string, errorMessage: string]>;
        /** savedTo: the file being written. */
        readonly copyDataFileStarted: Signal<[handlerId: string, filePath: string, savedTo: string]>;
        readonly copyDataFileFinished: Signal<[handlerId: string, filePath: string, savedTo: string, savedToDir: string]>;
        readonly copyDataFileCancelled: Signal<[handlerId: string, filePath: string]>;
        /** savedTo is empty when the source was missing. */
        readonly copyDataFileError: Signal<[handlerId: string, filePath: string, savedTo: string, errorCode: string, errorMessage: string]>;
        readonly showFileDialogForSelectDirFinished: Signal<[handlerId: string, str: string]>;
        readonly showFileDialogForSelectFileFinished: Signal<[handlerId: string, fileName: string]>;
        /** fname: the full path read. */
        readonly openFileError: Signal<[handlerId: string, fname: string, errorCode: string, error: string]>;
        /** fname: the full path read; status is always true. */
        readonly openFileFinished: Signal<[handlerId: string, fname: string, status: boolean, content: string]>;
        readonly saveFileError: Signal<[handlerId: string, fname: string, errorCode: string, error: string]>;
        /** fname: the full path written. */
        readonly saveFileFinished: Signal<[handlerId: string, fname: string]>;
        readonly deleteFileError: Signal<[handlerId: string, fname: string, errorCode: string, error: string]>;
        /** fname: the full path deleted. */
        readonly deleteFileFinished: Signal<[handlerId: string, fname: string]>;
        readonly copyFileError: Signal<[handlerId: string, from: string, to: string, errorCode: string, error: string]>;
        readonly copyFileFinished: Signal<[handlerId: string, from: string, to: string]>;
        readonly copyFileStatusFinished: Signal<[handlerId: string, from: string[], to: string[], status: string[]]>;
        readonly checkExistedError: Signal<[handlerId: string, path: string, errorCode: string, error: string]>;
        readonly checkExistedFinished: Signal<[handlerId: string, path: string]>;
        readonly checkExistedStatusFinished: Signal<[handlerId: string, path: string[], status: string[]]>;
        readonly getFilesInFolderFinished: Signal<[handlerId: string, workDir: string, files: string[]]>;
        readonly getFilesInFolderError: Signal<[handlerId: string, workDir: string, error: string]>;
    }

    /**
     * Documents from templates (published as __covrelBridge.officeBridge): a .docx template is filled by
     * editing its package; any other kind (.doc, .dot, .dotx, .rtf) goes to the office suite. Every call does its
     * whole work before it returns, so its signals arrive during the call.
     */
    interface OfficeBridge {
        /**
         * Fills the template (found in the content data folder, else the content folder) with the variables of
         * options.fields (or, without "fields", every other option), removes the table rows whose variables named
         * in options.clearTablesWithKeys stayed empty, and writes outputPath (relative: under the store documents
         * folder). options.openAfterSave opens the result. A .docx template takes the DOCX engine: docxTemplate*
         * then generateDocxFinished and generateFromTemplateFinished, also after docxTemplateError. Other templates
         * take the office engine, with progress states started 5, fileOpened 10, replacing, clearTables 80,
         * fileSaving 90, faleSaved 95 (98), finished 100.
         * @answers docxTemplateFinished | docxTemplateError → generateDocxFinished → generateFromTemplateFinished (.docx)
         * @answers generateDocxError (.docx template not found)
         * @answers generateFromTemplateStarted → generateFromTemplateInProcess (each state) → generateFromTemplateFinished (office engine)
         * @answers generateFromTemplateStarted → generateFromTemplateInProcess (states so far) → generateFromTemplateError (office engine)
         * @error errorFile "Не найден файл шаблона" DOCX engine: no such template
         * @error errorOpenFile the template could not be copied
         * @error errorUnpack "Не удалось распаковать шаблон %1: это не DOCX-пакет или 7-Zip завершился с ошибкой"
         * @error errorUnpack "В шаблоне %1 нет основной части word/document.xml"
         * @error errorUnpack "Часть %1 шаблона %2 занимает после распаковки %3 байт, больше допустимых %4"
         * @error errorUnpack "Шаблон %1 занимает после распаковки %2 байт, больше допустимых %3"
         * @error errorXml "Ошибка в XML части %1 шаблона %2: %3" also a part nested too deep, with too many attributes, with a DTD or too large
         * @error errorXml "Не удалось записать часть %1: %2"
         * @error errorPack "Не удалось упаковать документ %1"
         * @error errorPack "Не удалось записать документ %1"
         * @error errorPack "Не задан путь для сохранения документа"
         * @error errorPack "Папка %1 не существует или недоступна для записи"
         * @error - "Не найден файл шаблона" office engine: no such template (errorMessage and errorText)
         * @error - "errorCode:outputPathRealIsOpened" office engine: the output file is open in the office suite
         * @error office_not_installed "Офисный пакет не установлен или не запускается" office engine: errorMessage is "errorCode:office_not_installed", errorText the message
         * @error outputNotSaved "Офисный пакет не записал документ %1" office engine: errorMessage is "errorCode:outputNotSaved", errorText the message
         * @wrapper Covrel.generateDocx
         * @wrapper Covrel.generateFromTemplate
         */
        generateFromTemplate(handlerId: string, templateFilePath: string, options: VariantMap, outputPath: string): void;
        /**
         * Opens the file with the desktop's program (as openFileExternal), then answers openFileOpen.
         * @answers openFileExternalFinished | openFileExternalError → openFileOpen
         * @wrapper none
         */
        openFile(handlerId: string, filePath: string): void;
        /**
         * Opens filePath in the office suite and saves it as saveTo, in the format saveTo's suffix names;
         * "storeDocs://" and "contentData://" prefixes are resolved. The signals carry the paths as given.
         * @answers saveFileSaved | saveFileError
         * @error office_not_installed "Офисный пакет не установлен или не запускается"
         * @error outputNotSaved "Офисный пакет не записал документ %1" no new file at saveTo
         * @wrapper Covrel.saveDocumentAs
         */
        saveFile(handlerId: string, filePath: string, saveTo: string): void;
        /**
         * Whether the office suite can be used: status and "ok" or "office_not_installed".
         * @answers checkAvailableResult
         * @wrapper Covrel.officeAvailable
         */
        checkAvailable(handlerId: string): void;
        /**
         * Opens the file (or the same path under the content folder) with the desktop's program.
         * @answers openFileExternalFinished | openFileExternalError
         * @error - "Путь к файлу не задан." the path is empty
         * @error - "Файл не найден. %1" %1 is the path tried last
         * @wrapper Covrel.openDocument
         */
        openFileExternal(handlerId: string, path: string): void;
        /**
         * The office suite's version text; empty when it cannot be used.
         * @wrapper Covrel.officeVersion
         */
        version(): string;

        readonly generateFromTemplateStarted: Signal<[handlerId: string, templateFilePath: string, options: VariantMap, outputPath: string, outputPathReal: string]>;
        /** progress in percent with its state name. */
        readonly generateFromTemplateInProcess: Signal<[handlerId: string, templateFilePath: string, options: VariantMap, outputPath: string, outputPathReal: string, progress: number, state: string]>;
        /** outputPathReal: the file written. */
        readonly generateFromTemplateFinished: Signal<[handlerId: string, templateFilePath: string, options: VariantMap, outputPath: string, outputPathReal: string]>;
        /** errorMessage: "Не найден файл шаблона" or "errorCode:" followed by the code; errorText says it in words. */
        readonly generateFromTemplateError: Signal<[handlerId: string, templateFilePath: string, options: VariantMap, outputPath: string, outputPathReal: string, errorMessage: string, errorText: string]>;
        readonly openFileOpen: Signal<[handlerId: string, filePath: string]>;
        /** Declared for pages that connect to it; never sent. */
        readonly openFileError: Signal<[handlerId: string, filePath: string]>;
        readonly saveFileSaved: Signal<[handlerId: string, filePath: string, saveTo: string]>;
        readonly saveFileError: Signal<[handlerId: string, filePath: string, saveTo: string, errorCode: string, errorMessage: string]>;
        readonly checkAvailableResult: Signal<[handlerId: string, status: boolean, reasonCode: string]>;
        readonly docxTemplateFinished: Signal<[handlerId: string, path: string]>;
        readonly docxTemplateError: Signal<[handlerId: string, path: string, errorCode: string, errorMessage: string]>;
        readonly openFileExternalError: Signal<[handlerId: string, path: string, error: string]>;
        readonly openFileExternalFinished: Signal<[handlerId: string, path: string]>;
        /** path: the document written. */
        readonly generateDocxFinished: Signal<[handlerId: string, path: string]>;
        readonly generateDocxError: Signal<[handlerId: string, path: string, options: VariantMap, errorCode: string, errorMessage: string]>;
    }

    namespace TalqDorv {
        /**
         * Records of numbered units from the registry's integration program (published as
         * __covrelBridge.talqDorvBridge). The window waits while the program starts (first request) and answers.
         */
        interface Bridge {
            /**
             * The unit's record as compact JSON text (empty when the program's answer was not JSON).
             * @answers getDorvInfoResult | getInfoError
             * @error - "Интеграция с TALQ DORV недоступна, код причины: %1" the integration cannot run (%1 as disabledReasonCode)
             * @error - the integration program's own error text
             * @error - "Ответ слишком велик для передачи странице (предел %1 символов)" the record is too long to hand over
             * @wrapper Covrel.registry.info
             */
            getDorvInfo(handlerId: string, dorvNumber: number): void;
            /**
             * The unit's election records, as getDorvInfo.
             * @answers getDorvElectionInfoResult | getInfoError
             * @error - "Интеграция с TALQ DORV недоступна, код причины: %1"
             * @wrapper Covrel.registry.elections
             */
            getDorvElectionInfo(handlerId: string, dorvNumber: number): void;
            /**
             * The unit's member records, as getDorvInfo.
             * @answers getDorvMemberInfoResult | getInfoError
             * @error - "Интеграция с TALQ DORV недоступна, код причины: %1"
             * @wrapper Covrel.registry.members
             */
            getDorvMemberInfo(handlerId: string, dorvNumber: number): void;
            /**
             * All of the unit's records, as getDorvInfo.
             * @answers getDorvFullInfoResult | getInfoError
             * @error - "Интеграция с TALQ DORV недоступна, код причины: %1"
             * @wrapper Covrel.registry.full
             */
            getDorvFullInfo(handlerId: string, dorvNumber: number): void;
            /**
             * Sets the registry's installation folder (a file's path means its folder) after checking it holds
             * dorv.exe and its database; several problems come in one answer, one line each.
             * @answers setTalqDorvHomeDirResult | setTalqDorvHomeDirError
             * @error directory_not_found "Директория '%1' не существует."
             * @error incorrect_dir "В директории '%1' нет файла dorv.exe."
             * @error file_db_not_found "В директории '%1' нет файла базы 'DB.mv.db'."
             * @wrapper Covrel.registry.setHomeDir
             */
            setTalqDorvHomeDir(handlerId: string, homeDir: string): void;
            /**
             * Lets the user choose the installation folder, then as setTalqDorvHomeDir.
             * @answers setTalqDorvHomeDirResult | setTalqDorvHomeDirError
             * @error dirSelectionRejected "Отмена выбора" the user cancelled (homeDir is empty)
             * @wrapper Covrel.registry.chooseHomeDir
             */
            changeTalqDorvHomeDir(handlerId: string): void;
            /**
             * Ends the integration program; the next request starts it again.
             * @answers stopProviderResult
             * @wrapper Covrel.registry.stop
             */
            stopProvider(handlerId: string): void;
            /**
             * Whether the integration program can run.
             * @wrapper Covrel.registry.enabled
             */
            isEnabled(): boolean;
            /**
             * Why it cannot: "integration_jar_not_found", "talq_dorv_home_dir_not_set", "talq_dorv_db_not_set",
             * "talq_dorv_db_not_found"; empty when it can.
             * @wrapper Covrel.registry.disabledCode
             */
            disabledReasonCode(): string;

            readonly getDorvInfoResult: Signal<[handlerId: string, dorvNumber: number, jsonResult: string]>;
            readonly getDorvElectionInfoResult: Signal<[handlerId: string, dorvNumber: number, jsonResult: string]>;
            readonly getDorvMemberInfoResult: Signal<[handlerId: string, dorvNumber: number, jsonResult: string]>;
            readonly getDorvFullInfoResult: Signal<[handlerId: string, dorvNumber: number, jsonResult: string]>;
            /** The error answer of the four record requests. */
            readonly getInfoError: Signal<[handlerId: string, dorvNumber: number, errorMessage: string]>;
            /** homeDir: the folder stored, in native separators. */
            readonly setTalqDorvHomeDirResult: Signal<[handlerId: string, homeDir: string]>;
            /** errorMessage and errorCodes: one line per problem. */
            readonly setTalqDorvHomeDirError: Signal<[handlerId: string, homeDir: string, errorMessage: string, errorCodes: string]>;
            readonly stopProviderResult: Signal<[handlerId: string]>;
        }
    }

    namespace Zip {
        /** ZIP archives through 7-Zip (published as __covrelBridge.zipBridge). */
        interface Bridge {
            /**
             * Packs the folder zipDir into zipFile as the archive's top folder, renamed to prefix when one is
             * given; an existing archive is added to. Answers later: zipDirError when the folder is missing, or
             * 7-Zip fails, crashes, runs too long or writes no archive (an archive the call began is removed;
             * one that was there stays whole). Nothing at all when 7-Zip is not available (ask isAvailable first).
             * @answers zipDirFinished | zipDirError
             * @wrapper Covrel.zipDir
             */
            zipDir(handlerId: string, zipDir: string, zipFile: string, prefix?: string): void;
            /**
             * Whether 7-Zip was found.
             * @wrapper Covrel.zipAvailable
             */
            isAvailable(): boolean;
            /**
             * Empty when 7-Zip was found, otherwise "exe_file_not_exists".
             * @wrapper Covrel.zipUnavailableCode
             */
            getAvailableErrorCode(): string;

            /** The arguments of the call. */
            readonly zipDirFinished: Signal<[handlerId: string, zipDir: string, zipFile: string, prefix: string]>;
            /** Nothing was packed; the arguments of the call. */
            readonly zipDirError: Signal<[handlerId: string, zipDir: string, zipFile: string, prefix: string]>;
        }
    }

    namespace Wkhtmltopdf {
        /** PDF files from the page's print pages (published as __covrelBridge.wkhtmltopdfBridge). */
        interface Bridge {
            /**
             * Makes one PDF from the print page content/pdf.html; convertParams go first on the converter's
             * command line. Answers later: convertHtmlToPdfError when no new PDF was written at the path, or the
             * converter crashed or ran too long. Nothing at all when the converter is missing (ask isAvailable
             * first).
             * @answers convertHtmlToPdfFinished | convertHtmlToPdfError
             * @wrapper Covrel.convertHtmlToPdf
             */
            convertHtmlToPdf(handlerId: string, pdfFile: string, convertParams?: string[]): void;
            /**
             * One PDF per path through one converter, convertParams[i] being the script run in the print page for
             * path i; then docsFrom[j] (a content data file) is copied to docsTo[j]. The queue counter counts down
             * to 0; a refused call (fewer scripts than paths, fewer destinations than documents, an empty path) or
             * a converter lost on the way answers convertHtmlToPdfError once. Nothing at all without a converter.
             * @answers convertHtmlToPdfUpdateCounter (after each PDF, down to 0)
             * @answers convertHtmlToPdfError (the call was refused, or the converter was lost after some counters)
             * @wrapper Covrel.convertHtmlToPdfBatch
             */
            convertHtmlToPdfBatch(handlerId: string, pdfFilePaths?: string[], convertParams?: string[], docsFrom?: string[], docsTo?: string[]): void;
            /**
             * The store folder "<prefix> <n>", n one above the highest already there (not made).
             * @wrapper Covrel.storePdfDir
             */
            getStorePdfDir(prefix: string): string;
            /**
             * Whether the converter was found.
             * @wrapper Covrel.pdfAvailable
             */
            isAvailable(): boolean;
            /**
             * Empty when the converter was found, otherwise "exe_file_not_exists".
             * @wrapper Covrel.pdfUnavailableCode
             */
            getAvailableErrorCode(): string;

            readonly convertHtmlToPdfFinished: Signal<[handlerId: string]>;
            readonly convertHtmlToPdfError: Signal<[handlerId: string]>;
            /** queueCounter: the PDFs still to come; 0 ends the batch. */
            readonly convertHtmlToPdfUpdateCounter: Signal<[handlerId: string, queueCounter: number]>;
        }
    }

    namespace SpreedSheet {
        /**
         * Workbooks through the spreadsheet application (published as __covrelBridge.spreedSheetBridge): opened
         * workbooks are kept under identifiers. Every call answers before it returns.
         */
        interface Bridge {
            /**
             * Whether the spreadsheet application can be used: status, "ok" or "office_excel_not_installed", and
             * meta.version.
             * @answers checkAvailableResult
             * @wrapper Covrel.sheets.available
             */
            checkAvailable(handlerId: string): void;
            /**
             * Opens the workbook and keeps it under workbookId (empty: "w" followed by the handlerId); with
             * initWorksheet its sheets are loaded at once.
             * @answers openFileOpened | openFileError
             * @error failedOpenFile the application could not open it (the code is the error signal's message)
             * @wrapper Covrel.sheets.open
             */
            openFile(handlerId: string, filePath: string, initWorksheet?: boolean, workbookId?: string): void;
            /**
             * Opens a workbook of the store (filePath relative to the store folder), as openFile.
             * @answers openFileOpened | openFileError
             * @error fileNotExistsInStoreDir no such file in the store
             * @error failedOpenFile the application could not open it (the code is the error signal's message)
             * @wrapper Covrel.sheets.openFromStore
             */
            openFromStore(handlerId: string, workbookId: string, filePath: string, initWorksheet?: boolean): void;
            /**
             * Lets the user choose a workbook among the patterns (default "*.xlsx"), starting in baseDir (empty:
             * the program's folder), then opens it as openFile with its sheets loaded.
             * @answers openFileOpened | openFileError
             * @answers openFileCancel (the user cancelled)
             * @error failedOpenFile the application could not open it (the code is the error signal's message)
             * @wrapper Covrel.sheets.openByDialog
             */
            openFileByDialog(handlerId: string, baseDir?: string, extensions?: string): void;
            /**
             * Accepted and not answered; kept for pages that call it (save through the workbook instead).
             * @answers nothing
             * @wrapper none
             */
            saveFile(handlerId: string, workbookId: string, filePath: string): void;
            /**
             * Accepted and not answered; kept for pages that call it (close through the workbook instead).
             * @answers nothing
             * @wrapper none
             */
            closeWorkbook(handlerId: string, workbookId: string): void;
            /**
             * The workbook kept under the identifier, or null.
             * @answers getWorkbookResult
             * @wrapper Covrel.sheets.workbook
             */
            getWorkbook(handlerId: string, id: string): void;
            /**
             * Moves the workbook kept under newWorkbookID to oldWorkbookId; the workbook that was under
             * oldWorkbookId is closed without saving. Answers with the workbook now under oldWorkbookId.
             * @answers changeWorkbookIdResult
             * @wrapper Covrel.sheets.changeWorkbookId
             */
            changeWorkbookId(handlerId: string, oldWorkbookId: string, newWorkbookID: string): void;
            /**
             * The spreadsheet application's version; empty when it cannot be reached.
             * @wrapper Covrel.sheets.version
             */
            version(): string;

            readonly checkAvailableResult: Signal<[handlerId: string, status: boolean, reasonCode: string, meta: VariantMap]>;
            /** filePath in native separators; workbookId the identifier it is kept under. */
            readonly openFileOpened: Signal<[handlerId: string, filePath: string, workbookId: string, workbook: SpreedSheet.Workbook | null]>;
            /** errorMessage carries the code. */
            readonly openFileError: Signal<[handlerId: string, filePath: string, errorMessage: string]>;
            readonly openFileCancel: Signal<[handlerId: string]>;
            /** Declared for pages that connect to it; never sent. */
            readonly saveFileSaved: Signal<[handlerId: string, workbookId: string, filePath: string]>;
            /** Declared for pages that connect to it; never sent. */
            readonly saveFileError: Signal<[handlerId: string, workbookId: string, filePath: string, errorMessage: string]>;
            /** Declared for pages that connect to it; never sent. */
            readonly closeWorkbookResult: Signal<[handlerId: string, workbookId: string, status: boolean]>;
            readonly getWorkbookResult: Signal<[handlerId: string, workbookId: string, workbook: SpreedSheet.Workbook | null]>;
            readonly changeWorkbookIdResult: Signal<[handlerId: string, oldWorkbookId: string, newWorkbookID: string, workbook: SpreedSheet.Workbook | null]>;
        }

        /**
         * An open workbook, handed out by the spreadsheet bridge: its sheets, defined names, saving and closing.
         * Every call answers before it returns.
         */
        interface Workbook {
            /**
             * The sheet of that name (a new object each time), or null.
             * @answers s_getWorksheetResult
             * @wrapper Covrel.sheets.worksheet
             */
            s_getWorksheet(handlerId: string, name: string): void;
            /**
             * The rows of values of the workbook's defined name (empty when there is none).
             * @answers s_getNameRangeValueResult
             * @wrapper none
             */
            s_getNameRangeValue(handlerId: string, rangeName: string): void;
            /**
             * Saves the workbook as filePath (folders are made) and keeps working on that file. Every save answers
             * s_saveAsResult; one that wrote nothing answers s_saveAsError first.
             * @answers s_saveAsResult
             * @answers s_saveAsError → s_saveAsResult
             * @error failedCreateDir "Не удалось создать папку %1"
             * @error failedSaveFile the application wrote no file
             * @wrapper Covrel.sheets.saveAs
             */
            s_saveAs(handlerId: string, filePath: string): void;
            /**
             * As s_saveAs, filePath relative to the store folder; with renameExists an existing file is first
             * moved aside as name.yyyyMMddHHmmss.xlsx. The answers carry the full path.
             * @answers s_saveAsResult
             * @answers s_saveAsError → s_saveAsResult
             * @error failedRenameExists the existing file could not be moved aside; nothing is saved
             * @error failedCreateDir "Не удалось создать папку %1"
             * @error failedSaveFile the application wrote no file
             * @wrapper Covrel.sheets.saveToStore
             */
            s_saveAsToStore(handlerId: string, filePath: string): void;
            s_saveAsToStore(handlerId: string, filePath: string, renameExists: boolean): void;
            /**
             * Saves a copy as filePath; the workbook stays on its own file. Answers as s_saveAs.
             * @answers s_saveAsResult
             * @answers s_saveAsError → s_saveAsResult
             * @error failedCreateDir "Не удалось создать папку %1"
             * @error failedSaveFile the application wrote no file
             * @wrapper Covrel.sheets.saveCopyAs
             */
            s_saveCopyAs(handlerId: string, filePath: string): void;
            /**
             * Saves a copy into the store, as s_saveAsToStore.
             * @answers s_saveAsResult
             * @answers s_saveAsError → s_saveAsResult
             * @error failedRenameExists the existing file could not be moved aside; nothing is saved
             * @error failedCreateDir "Не удалось создать папку %1"
             * @error failedSaveFile the application wrote no file
             * @wrapper Covrel.sheets.saveCopyToStore
             */
            s_saveCopyAsToStore(handlerId: string, filePath: string): void;
            s_saveCopyAsToStore(handlerId: string, filePath: string, renameExists: boolean): void;
            /**
             * Closes the workbook, saving its changes; the object stays but reaches nothing any more.
             * @answers s_closeResult
             * @wrapper Covrel.sheets.close
             */
            s_close(handlerID: string): void;
            /**
             * The sheet at the zero-based index or of the name (a new object each time), or null.
             * @wrapper none
             */
            getWorksheet(index: number): SpreedSheet.Worksheet | null;
            getWorksheet(name: string): SpreedSheet.Worksheet | null;
            /**
             * The names of the sheets loaded so far (all of them once opened with its sheets), in ascending order.
             * @wrapper none
             */
            getWorksheetNames(): string[];
            /**
             * The file name of getFilePath().
             * @wrapper none
             */
            getFileName(): string;
            /**
             * The workbook's full path with forward slashes; empty once closed.
             * @wrapper none
             */
            getFilePath(): string;
            /**
             * Saves the workbook onto its own file.
             * @wrapper none
             */
            save(): boolean;

            readonly s_getWorksheetResult: Signal<[handlerId: string, name: string, worksheet: SpreedSheet.Worksheet | null]>;
            readonly s_getNameRangeValueResult: Signal<[handlerId: string, rangeName: string, result: Variant[]]>;
            /** filePath: the target (for the store, the full path). */
            readonly s_saveAsResult: Signal<[handlerId: string, filePath: string]>;
            readonly s_saveAsError: Signal<[handlerId: string, filePath: string, errorCode: string, errorMessage: string]>;
            readonly s_closeResult: Signal<[handlerId: string]>;
        }

        /**
         * A worksheet, handed out by a workbook: cells, ranges, formulas and number formats by the addresses the
         * page gives ("A1", "A1:C3", passed to the application unchanged), search, watched cells and print-outs.
         * Values keep the kind the application gives (an empty cell is null). Every call answers before it returns;
         * an address the application does not resolve is left out of the answer.
         */
        interface Worksheet {
            /**
             * Accepted and not answered; kept for pages that call it (read through s_getCellsValue).
             * @answers nothing
             * @wrapper none
             */
            s_getCellValue(handlerId: string, cell: string): void;
            /**
             * Writes one cell (text or number).
             * @answers s_setCellValueResult
             * @wrapper none
             */
            s_setCellValue(handlerId: string, cell: string, value: string): void;
            s_setCellValue(handlerId: string, cell: string, value: number): void;
            /**
             * Writes each address of the map with its value (number, text or boolean), in ascending address order;
             * an unknown address is skipped.
             * @answers s_setCellValuesResult
             * @wrapper Covrel.sheets.setCells
             */
            s_setCellValues(handlerId: string, cellValues: VariantMap): void;
            /**
             * The values of the cells, keyed by address.
             * @answers s_getCellsValueResult
             * @wrapper Covrel.sheets.cells
             */
            s_getCellsValue(handlerId: string, cells: string[]): void;
            /**
             * The range's values as a list of rows.
             * @answers s_getCellRangeValueResult
             * @wrapper Covrel.sheets.range
             */
            s_getCellRangeValue(handlerId: string, cellRange: string): void;
            /**
             * For each entry, keyed by the entry: a range's rows; an entry with commas ("A1:C1,E5") gives one flat
             * list, a range part contributing its first row and a cell part its value.
             * @answers s_getCellRangesValueResult
             * @wrapper Covrel.sheets.ranges
             */
            s_getCellRangesValue(handlerId: string, cellRanges: string[]): void;
            /**
             * The formulas of the cells as text, keyed by address.
             * @answers s_getFormulasRangeResult
             * @wrapper Covrel.sheets.formulas
             */
            s_getFormulasRange(handlerId: string, cellRange: string[]): void;
            /**
             * Writes each address's formula (as text); answers with the map received.
             * @answers s_setFormulasRangeResult
             * @wrapper Covrel.sheets.setFormulas
             */
            s_setFormulasRange(handlerId: string, cellMaps: VariantMap): void;
            /**
             * The number formats of the cells, keyed by address.
             * @answers s_getFormatsRangeResult
             * @wrapper Covrel.sheets.formats
             */
            s_getFormatsRange(handlerId: string, cellRange: string[]): void;
            /**
             * Writes each address's number format; answers with the map received.
             * @answers s_setFormatsRangeResult
             * @wrapper Covrel.sheets.setFormats
             */
            s_setFormatsRange(handlerId: string, cellMaps: VariantMap): void;
            /**
             * The address of the first cell holding the value (the application's own search); empty when none.
             * @answers s_findCellByValueResult
             * @wrapper Covrel.sheets.find
             */
            s_findCellByValue(handlerId: string, cellValue: string): void;
            /**
             * The addresses of every cell holding the value, in the application's search order.
             * @answers s_findAllCellByValueResult
             * @wrapper Covrel.sheets.findAll
             */
            s_findAllCellByValue(handlerId: string, cellValue: string): void;
            /**
             * Adds the address to the watched cells (once).
             * @answers s_addedCellForEventChange
             * @wrapper none
             */
            s_addCellForEventChange(handlerId: string, cell: string): void;
            /**
             * Adds the addresses to the watched cells (each once).
             * @answers s_addedCellsForEventChange
             * @wrapper Covrel.sheets.watch
             */
            s_addCellsForEventChange(handlerId: string, cells: string[]): void;
            /**
             * Removes the address from the watched cells.
             * @answers s_removedCellForEventChange
             * @wrapper none
             */
            s_removeCellForEventChange(handlerId: string, cell: string): void;
            /**
             * Removes the addresses from the watched cells.
             * @answers s_removedCellsForEventChange
             * @wrapper Covrel.sheets.unwatch
             */
            s_removeCellsForEventChange(handlerId: string, cells: string[]): void;
            /**
             * Reports every watched cell with its current value (changed or not) through s_cellsChanged, the one
             * answer without a handlerId.
             * @answers s_cellsChanged
             * @wrapper Covrel.sheets.changes
             */
            calculatedHandler(): void;
            /**
             * Prints the worksheet on the named printer; options: pageFrom, pageTo, copies, collate,
             * ignorePrintAreas, printToFile, printToFilePath. False when nothing went to the printer.
             * @wrapper Covrel.sheets.print
             */
            print(printerName: string, printOptions: VariantMap): boolean;
            /**
             * Prints the range, as print. False when the range is unknown or nothing went to the printer.
             * @wrapper none
             */
            printRange(cellRange: string, printerName: string, printOptions: VariantMap): boolean;

            /** Declared for pages that connect to it; never sent. */
            readonly s_getCellValueResult: Signal<[handlerId: string, cell: string, value: string]>;
            /** Declared for pages that connect to it; never sent. */
            readonly s_cellValueChangedResult: Signal<[handlerId: string, cell: string, value: string]>;
            readonly s_setCellValueResult: Signal<[handlerId: string, cell: string, value: Variant]>;
            readonly s_setCellValuesResult: Signal<[handlerId: string]>;
            readonly s_getCellsValueResult: Signal<[handlerId: string, cells: string[], values: VariantMap]>;
            readonly s_getCellRangeValueResult: Signal<[handlerId: string, cellRange: string, values: Variant[]]>;
            readonly s_getCellRangesValueResult: Signal<[handlerId: string, cellRanges: string[], values: VariantMap]>;
            readonly s_getFormulasRangeResult: Signal<[handlerId: string, cellRange: string[], cellMaps: VariantMap]>;
            readonly s_setFormulasRangeResult: Signal<[handlerId: string, cellMaps: VariantMap]>;
            readonly s_getFormatsRangeResult: Signal<[handlerId: string, cellRange: string[], cellMaps: VariantMap]>;
            readonly s_setFormatsRangeResult: Signal<[handlerId: string, cellMaps: VariantMap]>;
            readonly s_findCellByValueResult: Signal<[handlerId: string, cellValue: string, cell: string]>;
            readonly s_findAllCellByValueResult: Signal<[handlerId: string, cellValue: string, cells: string[]]>;
            readonly s_addedCellForEventChange: Signal<[handlerId: string, cell: string]>;
            readonly s_addedCellsForEventChange: Signal<[handlerId: string, cells: string[]]>;
            readonly s_removedCellForEventChange: Signal<[handlerId: string, cell: string]>;
            readonly s_removedCellsForEventChange: Signal<[handlerId: string, cells: string[]]>;
            /** cellsValue: every watched address with its current value. */
            readonly s_cellsChanged: Signal<[cellsValue: VariantMap]>;
        }
    }

    // --- The promise client (covrel.js) ---

    /**
     * What a wrapper rejects with: an Error whose message is the error signal's last argument, with the signal's
     * name, its arguments after the handlerId and, where the signal carries one, its code.
     */
    interface CallError extends Error {
        signal: string;
        args: Variant[];
        code?: string;
    }
    /** echo. */
    interface EchoError extends CallError {
        code: 'tooLarge';
    }
    /** readStore, readContentData. */
    interface StoreReadError extends CallError {
        code: 'fileNotExists' | 'cannotOpenFile' | 'invalidName' | 'tooLarge';
    }
    /** copyDataFile; savedTo is the target ('' when the source was missing or the name refused). */
    interface CopyDataFileError extends CallError {
        code: 'fileNotExists' | 'fileExists' | 'cannotCopyFile' | 'invalidName';
        savedTo: string;
    }
    /** openFile, saveFile, deleteFile, copyFiles, checkExisted. */
    interface WorkDirError extends CallError {
        code: 'cannotOpenFile' | 'errorSave' | 'notFound' | 'errorDelete' | 'errorInput' | 'invalidName' | 'tooLarge';
    }
    /**
     * generateDocx, generateFromTemplate (either settles with the engine the template's name picks): the DOCX
     * engine's code, or the office engine's errorMessage; the message says it in words.
     */
    interface DocumentError extends CallError {
        code: 'errorFile' | 'errorOpenFile' | 'errorUnpack' | 'errorXml' | 'errorPack' | 'Не найден файл шаблона'
            | 'errorCode:outputPathRealIsOpened' | 'errorCode:office_not_installed' | 'errorCode:outputNotSaved';
    }
    /** saveDocumentAs. */
    interface SaveDocumentError extends CallError {
        code: 'office_not_installed' | 'outputNotSaved';
    }
    /** registry.setHomeDir, registry.chooseHomeDir: one message line and one code per problem. */
    interface HomeDirError extends CallError {
        homeDir: string;
        codes: Array<'directory_not_found' | 'incorrect_dir' | 'file_db_not_found' | 'dirSelectionRejected'>;
    }
    /** Covrel.sheets; 'noAnswer' when a call returned without any answer. */
    interface SheetError extends CallError {
        code: 'failedOpenFile' | 'fileNotExistsInStoreDir' | 'failedSaveFile' | 'failedCreateDir' | 'failedRenameExists' | 'noAnswer';
    }

    /** An answer as Covrel.call resolves it: the signal's name and its arguments after the handlerId. */
    interface Answer {
        signal: string;
        args: Variant[];
    }
    interface CallOptions {
        /** Signals that resolve the call. */
        done?: string[];
        /** Signals that reject it. */
        fail?: string[];
        /** Signals passed to onProgress. */
        progress?: string[];
        onProgress?: (...args: Variant[]) => void;
        /** Asked for each done signal; the call stays pending while it returns false. */
        keepUntil?: (signal: string, args: Variant[]) => boolean;
    }
    interface Directories {
        content: string;
        contentData: string;
        store: string;
        storeDocs: string;
    }
    interface GitAnswer {
        /** The address as given. */
        repoUrl: string;
        destPath: string;
    }
    interface GitCloneOptions {
        repoUrl: string;
        login?: string;
        pass?: string;
        /** The folder, relative to the program's working folder. */
        folder: string;
        branch?: string;
    }
    interface GitCommitOptions {
        repoUrl: string;
        login?: string;
        pass?: string;
        folder: string;
        author?: string;
        comment?: string;
    }
    interface PdfBatchOptions {
        pdfFiles?: string[];
        /** scripts[i] runs in the print page for pdfFiles[i] (for the demo page "showRecord({...})"). */
        scripts?: string[];
        docsFrom?: string[];
        docsTo?: string[];
        /** The PDFs still to come. */
        onProgress?: (left: number) => void;
    }
    interface TemplateOptions {
        /** Relative to the content data folder ("templates/letter.docx"). */
        template: string;
        /** Relative to the store documents folder. */
        output?: string;
        /** null or undefined leave a variable absent; '' makes it present and empty. */
        fields?: { [name: string]: string | number | boolean | null | undefined };
        /** Variables whose table rows go when they stay empty. */
        clearTablesWithKeys?: string[];
        openAfterSave?: boolean;
    }
    interface CopiedDataFile {
        savedTo: string;
        savedToDir: string;
    }
    interface CopyFilesResult {
        /** 'ok' or 'false' per file. */
        status: string[];
        errors: Array<{ from: string; to: string; code: string; message: string }>;
    }
    interface OpenedWorkbook {
        workbook: SpreedSheet.Workbook | null;
        id: string;
        path: string;
    }
    interface OpenWorkbookOptions {
        id?: string;
        initWorksheets?: boolean;
    }

    /** Registry records (talqDorvBridge). */
    interface Registry {
        /** Whether the integration program can run. */
        enabled(): boolean;
        /** Why it cannot; empty when it can. */
        disabledCode(): string;
        /** The unit's record parsed from its JSON (null when it was not JSON); rejects with a CallError. */
        info(number: number): Promise<Variant>;
        /** The unit's election records, as info. */
        elections(number: number): Promise<Variant>;
        /** The unit's member records, as info. */
        members(number: number): Promise<Variant>;
        /** All of the unit's records, as info. */
        full(number: number): Promise<Variant>;
        /** The stored installation folder; rejects with a HomeDirError. */
        setHomeDir(dir: string): Promise<string>;
        /** The folder the user chose and that was stored; rejects with a HomeDirError. */
        chooseHomeDir(): Promise<string>;
        /** Ends the integration program; the next request starts it. */
        stop(): Promise<Answer>;
    }

    /** Spreadsheets (spreedSheetBridge and the workbooks and worksheets it hands out); rejections are SheetErrors. */
    interface Sheets {
        /** code: "ok" or "office_excel_not_installed". */
        available(): Promise<{ available: boolean; code: string; version: string }>;
        /** The spreadsheet application's version; '' when it cannot be reached. */
        version(): string;
        /** Opens the workbook and keeps it under o.id. */
        open(path: string, o?: OpenWorkbookOptions): Promise<OpenedWorkbook>;
        /** Opens a workbook of the store. */
        openFromStore(name: string, o?: OpenWorkbookOptions): Promise<OpenedWorkbook>;
        /** null when the user cancelled. */
        openByDialog(baseDir?: string, patterns?: string): Promise<OpenedWorkbook | null>;
        /** The workbook kept under the id, or null. */
        workbook(id: string): Promise<SpreedSheet.Workbook | null>;
        /** The workbook now under oldId, or null. */
        changeWorkbookId(oldId: string, newId: string): Promise<SpreedSheet.Workbook | null>;
        /** The sheet of that name, or null. */
        worksheet(wb: SpreedSheet.Workbook, name: string): Promise<SpreedSheet.Worksheet | null>;
        /** Values keyed by address (an empty cell is null). */
        cells(ws: SpreedSheet.Worksheet, addresses: string[]): Promise<VariantMap>;
        /** Rows of values. */
        range(ws: SpreedSheet.Worksheet, address: string): Promise<Variant[]>;
        /** Values of several ranges, keyed by entry. */
        ranges(ws: SpreedSheet.Worksheet, entries: string[]): Promise<VariantMap>;
        /** Formulas keyed by address. */
        formulas(ws: SpreedSheet.Worksheet, addresses: string[]): Promise<VariantMap>;
        /** Number formats keyed by address. */
        formats(ws: SpreedSheet.Worksheet, addresses: string[]): Promise<VariantMap>;
        /** Writes values by address. */
        setCells(ws: SpreedSheet.Worksheet, values: VariantMap): Promise<void>;
        /** Writes formulas by address. */
        setFormulas(ws: SpreedSheet.Worksheet, formulas: VariantMap): Promise<void>;
        /** Writes number formats by address. */
        setFormats(ws: SpreedSheet.Worksheet, formats: VariantMap): Promise<void>;
        /** The first address, or ''. */
        find(ws: SpreedSheet.Worksheet, text: string): Promise<string>;
        /** Every address holding the text, in the application's search order. */
        findAll(ws: SpreedSheet.Worksheet, text: string): Promise<string[]>;
        /** Adds the addresses to the watched cells. */
        watch(ws: SpreedSheet.Worksheet, addresses: string[]): Promise<void>;
        /** Removes the addresses from the watched cells. */
        unwatch(ws: SpreedSheet.Worksheet, addresses: string[]): Promise<void>;
        /** The watched cells with their current values. */
        changes(ws: SpreedSheet.Worksheet): Promise<VariantMap>;
        /** Saves the workbook as path; resolves with the path written. */
        saveAs(wb: SpreedSheet.Workbook, path: string): Promise<string>;
        /** Saves a copy; the workbook stays on its own file. */
        saveCopyAs(wb: SpreedSheet.Workbook, path: string): Promise<string>;
        /** Saves into the store; keepOld moves an existing file aside under a time-stamped name first. */
        saveToStore(wb: SpreedSheet.Workbook, name: string, keepOld?: boolean): Promise<string>;
        /** Saves a copy into the store. */
        saveCopyToStore(wb: SpreedSheet.Workbook, name: string, keepOld?: boolean): Promise<string>;
        /** Closes it, saving its changes. */
        close(wb: SpreedSheet.Workbook): Promise<void>;
        /** True when it went to the printer. */
        print(ws: SpreedSheet.Worksheet, printer: string, options?: VariantMap): boolean;
    }

    /**
     * The promise client of covrel.js, global `Covrel`: every call gets a fresh handlerId and settles with its
     * answer; rejections are CallErrors (or the narrower kinds named below).
     */
    interface Client {
        /** Calls a method of the bridge (path null) or of a sub-bridge ("zipBridge") with a new handlerId first. */
        call(path: string | null, method: string, args?: Variant[], options?: CallOptions): Promise<Answer>;
        /** Whether the page runs inside the shell. */
        isAvailable(): boolean;
        /** Resolves with the same text; rejects with an EchoError. */
        echo(text: string): Promise<string>;
        /** Appends a record to the JSON journal. */
        log(message: string, params?: VariantMap): void;
        /** The content, content data, store and store documents folders. */
        directories(): Directories;
        /** The names of the installed printers. */
        printers(): string[];
        /** Changes the store documents folder ('' returns to the default). */
        setStoreDocsDir(path: string): void;
        /** Sounds the system bell. */
        beep(): void;
        /** decide() is asked whenever the user tries to close the window; true (or a promise of it) closes. */
        onCloseRequest(decide: () => boolean | PromiseLike<boolean>): void;
        /** Ends the program. */
        quit(): void;
        /** Resolves with the path when the program ends with code 0; onStarted(path) once it runs. */
        execExternal(execPath: string, args?: string[], workingDir?: string, onStarted?: (execPath: string) => void): Promise<string>;
        /** Whether execExternal would start the program. */
        isExecExternal(execPath: string, args?: string[], workingDir?: string): boolean;
        /** git's version text. */
        gitVersion(): Promise<string>;
        /** Clones into the new folder o.folder; rejects with git's message. */
        gitClone(o: GitCloneOptions): Promise<GitAnswer>;
        /** Pulls into the working copy o.folder; rejects with git's message. */
        gitPull(o: GitCloneOptions): Promise<GitAnswer>;
        /** Commits every change in o.folder and pushes; rejects with git's message. */
        gitCommitAndPush(o: GitCommitOptions): Promise<GitAnswer>;
        /** Whether the converter was found (without it the PDF calls are never answered). */
        pdfAvailable(): boolean;
        /** "exe_file_not_exists" without a converter. */
        pdfUnavailableCode(): string;
        /** The store folder "<prefix> <n>" next in line. */
        storePdfDir(prefix: string): string;
        /** Resolves with pdfFile once the converter has run. */
        convertHtmlToPdf(pdfFile: string, convertParams?: string[]): Promise<string>;
        /** Resolves with pdfFiles when the queue counter reaches 0. */
        convertHtmlToPdfBatch(o: PdfBatchOptions): Promise<string[]>;
        /** Registry records. */
        readonly registry: Registry;
        /**
         * A document from its template (.docx by the DOCX engine, other kinds through the office suite); resolves
         * with the written file's path; rejects with a DocumentError.
         */
        generateDocx(o: TemplateOptions): Promise<string>;
        /** Opens a file with the desktop's program; resolves with the path. */
        openDocument(path: string): Promise<string>;
        /** Whether the office suite can be used ("office_not_installed" when not). */
        officeAvailable(): Promise<{ available: boolean; code: string }>;
        /** Whether 7-Zip was found (without it zipDir is never answered). */
        zipAvailable(): boolean;
        /** "exe_file_not_exists" without 7-Zip. */
        zipUnavailableCode(): string;
        /** Resolves with zipFile. */
        zipDir(dir: string, zipFile: string, prefix?: string): Promise<string>;
        /** The stored text; rejects with a StoreReadError. */
        readStore(name: string): Promise<string>;
        /** The shipped text; rejects with a StoreReadError. */
        readContentData(name: string, fromWorkingDir?: boolean): Promise<string>;
        /** Resolves with the name. */
        writeStore(name: string, text: string): Promise<string>;
        /** null when the user cancelled; rejects with a CopyDataFileError. */
        copyDataFile(name: string, saveAs?: string, toDocsDir?: boolean): Promise<CopiedDataFile | null>;
        /** The chosen folder; '' when cancelled. */
        chooseDir(): Promise<string>;
        /** The chosen file; '' when cancelled. */
        chooseFile(patterns?: string[]): Promise<string>;
        /** Whether the file exists in the store. */
        storeFileExists(name: string): boolean;
        /** Whether the file exists in the content data folder. */
        contentDataFileExists(name: string): boolean;
        /** Whether the store folder may be written. */
        storeWritable(): boolean;
        /** The new documents folder; '' when cancelled. */
        chooseDocsDir(): string;
        /** Opens the file's folder in the file manager. */
        showFolderOf(path: string): void;
        /** Rejects with a WorkDirError. */
        openFile(dir: string, name: string): Promise<{ path: string; content: string }>;
        /** Resolves with the path written; rejects with a WorkDirError. */
        saveFile(dir: string, name: string, text: string): Promise<string>;
        /** Resolves with the path deleted; rejects with a WorkDirError. */
        deleteFile(dir: string, name: string): Promise<string>;
        /**
         * Rejects with a WorkDirError only when the call is refused as a whole (code "errorInput" when the lists
         * differ in length, "tooLarge"); failures of single files are in errors.
         */
        copyFiles(from: string[], toDir: string, to: string[], overwrite?: boolean): Promise<CopyFilesResult>;
        /** 'ok' or 'false' per path; rejects with a WorkDirError ("tooLarge") only for too long a list. */
        checkExisted(dir: string, paths: string[]): Promise<string[]>;
        /** Plain file names, sorted without regard to case. */
        listFiles(folder: string, pattern?: string): Promise<string[]>;
        /** As generateDocx, with onProgress(percent, state) from the office engine; rejects with a DocumentError. */
        generateFromTemplate(o: TemplateOptions, onProgress?: (percent: number, state: string) => void): Promise<string>;
        /** '' without an office suite. */
        officeVersion(): Promise<string>;
        /** Re-saves a document through the office suite; resolves with saveTo; rejects with a SaveDocumentError. */
        saveDocumentAs(filePath: string, saveTo: string): Promise<string>;
        /** Spreadsheets. */
        readonly sheets: Sheets;
    }
}

declare var __covrelBridge: Covrel.CovrelBridge;
declare var Covrel: Covrel.Client;
