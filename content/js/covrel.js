/*
 * A small promise-based client for the shell's bridge. It hides the handlerId
 * bookkeeping: every call gets a fresh id, the answer signals are connected
 * once, and the matching promise is resolved or rejected when one arrives.
 * Runs on the shell's engine (no async/await, no optional chaining).
 */
(function (global) {
    'use strict';

    var counter = 0;
    var pending = {};      // handlerId -> {resolve, reject, progress, keepUntil, kinds}
    var connected = {};    // "<object path>#<signal>" -> true

    function bridge() {
        if (!global.__covrelBridge) {
            throw new Error('__covrelBridge is not available on this page');
        }
        return global.__covrelBridge;
    }

    // The script object a call goes to: the bridge itself or one of its sub-bridges.
    function target(path) {
        return path ? bridge()[path] : bridge();
    }

    function nextId() {
        counter += 1;
        return 'covrel-' + counter + '-' + Date.now();
    }

    function toArray(args) {
        return Array.prototype.slice.call(args);
    }

    // Connects one dispatcher per signal: it finds the pending call by the
    // signal's first argument and settles it with the remaining arguments.
    // What a signal means is the pending call's own business (the same signal
    // ends one wrapper's call and only reports progress for another's), so
    // each call carries its own table; signals it does not list pass it by.
    function route(path, signal) {
        var key = (path || '') + '#' + signal;
        if (connected[key]) {
            return;
        }
        connected[key] = true;
        target(path)[signal].connect(function () {
            var args = toArray(arguments);
            var entry = pending[args[0]];
            if (!entry || !entry.kinds.hasOwnProperty(signal)) {
                return;
            }
            var kind = entry.kinds[signal];
            var rest = args.slice(1);
            if (kind === 'progress') {
                if (entry.progress) {
                    entry.progress.apply(null, rest);
                }
                return;
            }
            if (kind === 'done' && entry.keepUntil && !entry.keepUntil(signal, rest)) {
                return;
            }
            delete pending[args[0]];
            if (kind === 'done') {
                entry.resolve({signal: signal, args: rest});
            } else {
                var error = new Error(rest.length ? String(rest[rest.length - 1]) : signal);
                error.signal = signal;
                error.args = rest;
                entry.reject(error);
            }
        });
    }

    /*
     * call(path, method, args, options): calls `method` with a new handlerId
     * followed by `args` and returns a promise.
     * options.done: names of signals that resolve (with {signal, args});
     * options.fail: names of signals that reject (Error with .signal and .args);
     * options.progress: names of signals passed to options.onProgress(...args).
     */
    function call(path, method, args, options) {
        options = options || {};
        var kinds = {};
        ['done', 'fail', 'progress'].forEach(function (kind) {
            (options[kind] || []).forEach(function (s) {
                kinds[s] = kind;
                route(path, s);
            });
        });
        var id = nextId();
        return new Promise(function (resolve, reject) {
            pending[id] = {resolve: resolve, reject: reject, progress: options.onProgress, keepUntil: options.keepUntil,
                           kinds: kinds};
            try {
                var obj = target(path);
                obj[method].apply(obj, [id].concat(args || []));
            } catch (e) {
                delete pending[id];
                reject(e);
            }
        });
    }

    function firstArg(answer) {
        return answer.args[0];
    }

    function secondArg(answer) {
        return answer.args[1];
    }

    // Rejects again with error.code taken from the error signal's arguments.
    function withCode(index) {
        return function (error) {
            if (error.args) {
                error.code = error.args[index];
            }
            throw error;
        };
    }

    /*
     * Both document wrappers go to officeBridge.generateFromTemplate, and the
     * template's name picks the engine, not the wrapper: each listens to both
     * engines' answers. The DOCX engine ends with docxTemplateFinished or
     * docxTemplateError, then generateDocxFinished and generateFromTemplateFinished
     * (also after an error), or with generateDocxError alone; the office engine
     * ends with generateFromTemplateFinished or generateFromTemplateError.
     */
    var documentSignals = {
        done: ['generateDocxFinished', 'generateFromTemplateFinished'],
        fail: ['docxTemplateError', 'generateDocxError', 'generateFromTemplateError'],
        progress: ['generateFromTemplateInProcess']
    };

    function documentOptions(o) {
        return {fields: o.fields || {}, clearTablesWithKeys: o.clearTablesWithKeys || [],
                openAfterSave: !!o.openAfterSave};
    }

    // The written file's path: generateDocxFinished(path), generateFromTemplateFinished(..., outputPathReal).
    function documentPath(answer) {
        return answer.signal === 'generateDocxFinished' ? answer.args[0] : answer.args[3];
    }

    // Rejects again with error.code: the DOCX engine's code, or the office engine's error message.
    function documentError(error) {
        var codeAt = {docxTemplateError: 1, generateDocxError: 2, generateFromTemplateError: 4};
        if (error.args && codeAt.hasOwnProperty(error.signal)) {
            error.code = error.args[codeAt[error.signal]];
        }
        throw error;
    }

    function generateDocument(o, onProgress) {
        return call('officeBridge', 'generateFromTemplate', [o.template, documentOptions(o), o.output || ''], {
            done: documentSignals.done,
            fail: documentSignals.fail,
            progress: documentSignals.progress,
            onProgress: function (template, opts, output, real, percent, state) {
                if (onProgress) {
                    onProgress(percent, state);
                }
            }
        }).then(documentPath, documentError);
    }

    function gitAnswer(answer) {
        return {repoUrl: answer.args[0], destPath: answer.args[1]};
    }

    var Covrel = {
        call: call,
        isAvailable: function () { return !!global.__covrelBridge; },

        echo: function (text) {
            return call(null, 'echo', [text], {done: ['echoSender'], fail: ['echoError']})
                .then(firstArg, withCode(0));
        },
        log: function (message, params) {
            bridge().logger(nextId(), message, params || {});
        },
        directories: function () {
            var b = bridge();
            return {
                content: b.getContentDirPath(),
                contentData: b.getContentDataDirPath(),
                store: b.getStoreDirPath(),
                storeDocs: b.getStoreDocsDirPath()
            };
        },
        printers: function () { return bridge().availablePrinterNames(); },
        setStoreDocsDir: function (path) { bridge().changeAppEnv({STORE_DOCS_DIR_PATH: path}); },
        beep: function () { bridge().beep(); },

        /*
         * decide() is asked whenever the user tries to close the window; it
         * returns a boolean or a promise of one, and the shell closes on true.
         */
        onCloseRequest: function (decide) {
            bridge().appCloseEvent.connect(function () {
                Promise.resolve(decide()).then(function (accept) {
                    bridge().close(nextId(), !!accept);
                });
            });
        },
        quit: function () { bridge().close(nextId(), true); },

        /*
         * External programs. Resolves with the path when the program ends
         * with code 0; rejects when it cannot be started, ends with another
         * code or crashes. onStarted(path) is called once it runs.
         */
        execExternal: function (execPath, args, workingDir, onStarted) {
            return call(null, 'execExternal', [execPath, args || [], workingDir || ''], {
                done: ['execExternalFinished'],
                fail: ['execExternalError'],
                progress: ['execExternalStarted'],
                onProgress: onStarted
            }).then(firstArg);
        },
        isExecExternal: function (execPath, args, workingDir) {
            return bridge().isExecExternal(execPath, args || [], workingDir || '');
        },

        /*
         * Git working copies; folders are relative to the program's working
         * directory. Each resolves with {repoUrl, destPath} (repoUrl as given;
         * git gets the login and password from the shell) and rejects with
         * git's message. The window waits while git works.
         */
        gitVersion: function () {
            return call(null, 'checkGitVersion', [],
                        {done: ['checkGitVersionFinished'], fail: ['checkGitVersionError']}).then(firstArg);
        },
        gitClone: function (o) {
            return call(null, 'gitClone', [o.repoUrl, o.login || '', o.pass || '', o.folder, o.branch || ''],
                        {done: ['gitCloneFinished'], fail: ['gitCloneError']}).then(gitAnswer);
        },
        gitPull: function (o) {
            return call(null, 'gitPull', [o.repoUrl, o.login || '', o.pass || '', o.folder, o.branch || ''],
                        {done: ['gitPullFinished'], fail: ['gitPullError']}).then(gitAnswer);
        },
        gitCommitAndPush: function (o) {
            return call(null, 'gitCommitAndPush',
                        [o.repoUrl, o.login || '', o.pass || '', o.folder, o.author || '', o.comment || ''],
                        {done: ['gitCommitAndPushFinished'], fail: ['gitCommitAndPushError']}).then(gitAnswer);
        },

        /*
         * PDF files from the print page (content/pdf.html, run by wkhtmltopdf).
         * pdfAvailable() and pdfUnavailableCode() ("exe_file_not_exists" when
         * the converter file is missing) are worth asking first: without a
         * converter the calls below are never answered.
         * storePdfDir(prefix): the store folder "<prefix> <n>" next in line.
         * convertHtmlToPdf(pdfFile, convertParams): resolves with pdfFile when
         * the converter has run; rejects when it crashed or could not start.
         * convertHtmlToPdfBatch({pdfFiles, scripts, docsFrom, docsTo, onProgress}):
         * one PDF per file, scripts[i] run in the print page for file i (for
         * the demo page "showRecord({...})"); docsFrom[j] (content data) is
         * copied to docsTo[j]. onProgress(left) follows the queue counter; the
         * promise resolves with pdfFiles at 0 and rejects when the call is
         * refused or the converter is lost on the way.
         */
        pdfAvailable: function () { return bridge().wkhtmltopdfBridge.isAvailable(); },
        pdfUnavailableCode: function () { return bridge().wkhtmltopdfBridge.getAvailableErrorCode(); },
        storePdfDir: function (prefix) { return bridge().wkhtmltopdfBridge.getStorePdfDir(prefix); },
        convertHtmlToPdf: function (pdfFile, convertParams) {
            return call('wkhtmltopdfBridge', 'convertHtmlToPdf', [pdfFile, convertParams || []],
                        {done: ['convertHtmlToPdfFinished'], fail: ['convertHtmlToPdfError']})
                .then(function () { return pdfFile; });
        },
        convertHtmlToPdfBatch: function (o) {
            var files = o.pdfFiles || [];
            var args = [files, o.scripts || [], o.docsFrom || [], o.docsTo || []];
            if (!files.length) {
                // Nothing to count down: only the documents are copied, at once.
                bridge().wkhtmltopdfBridge.convertHtmlToPdfBatch.apply(
                    bridge().wkhtmltopdfBridge, [nextId()].concat(args));
                return Promise.resolve([]);
            }
            return call('wkhtmltopdfBridge', 'convertHtmlToPdfBatch', args, {
                done: ['convertHtmlToPdfUpdateCounter'],
                fail: ['convertHtmlToPdfError'],
                keepUntil: function (signal, rest) {
                    if (o.onProgress) {
                        o.onProgress(rest[0]);
                    }
                    return rest[0] === 0;
                }
            }).then(function () { return files; });
        },

        /*
         * Registry records through the registry's integration program (talqDorvBridge).
         * registry.enabled() and registry.disabledCode() are worth asking first; a
         * request while the integration cannot run is refused with the reason code
         * in its message. The window waits while the program starts (first request)
         * and while it answers.
         * registry.info / elections / members / full(number): resolve with the record
         * parsed from its JSON (null when the program's answer was not JSON); reject
         * with the registry's message as error.message.
         * registry.setHomeDir(path) / registry.chooseHomeDir(): resolve with the stored
         * installation directory; reject with error.message (one line per problem),
         * error.codes (array; ["dirSelectionRejected"] when the dialog was cancelled)
         * and error.homeDir.
         * registry.stop(): ends the integration program; the next request starts it.
         */
        registry: (function () {
            var path = 'talqDorvBridge';

            function record(method, resultSignal, number) {
                return call(path, method, [number], {done: [resultSignal], fail: ['getInfoError']})
                    .then(function (answer) { return answer.args[1] ? JSON.parse(answer.args[1]) : null; });
            }

            function homeDir(promise) {
                return promise.then(function (answer) { return answer.args[0]; }, function (error) {
                    if (error.signal === 'setTalqDorvHomeDirError') {
                        var refused = new Error(error.args[1]);
                        refused.signal = error.signal;
                        refused.args = error.args;
                        refused.homeDir = error.args[0];
                        refused.codes = String(error.args[2]).split('\n');
                        throw refused;
                    }
                    throw error;
                });
            }

            var homeDirSignals = {done: ['setTalqDorvHomeDirResult'], fail: ['setTalqDorvHomeDirError']};
            return {
                enabled: function () { return bridge()[path].isEnabled(); },
                disabledCode: function () { return bridge()[path].disabledReasonCode(); },
                info: function (number) { return record('getDorvInfo', 'getDorvInfoResult', number); },
                elections: function (number) {
                    return record('getDorvElectionInfo', 'getDorvElectionInfoResult', number);
                },
                members: function (number) { return record('getDorvMemberInfo', 'getDorvMemberInfoResult', number); },
                full: function (number) { return record('getDorvFullInfo', 'getDorvFullInfoResult', number); },
                setHomeDir: function (dir) { return homeDir(call(path, 'setTalqDorvHomeDir', [dir], homeDirSignals)); },
                chooseHomeDir: function () { return homeDir(call(path, 'changeTalqDorvHomeDir', [], homeDirSignals)); },
                stop: function () { return call(path, 'stopProvider', [], {done: ['stopProviderResult']}); }
            };
        })(),

        /*
         * DOCX documents from templates (officeBridge). The window waits while
         * the document is made.
         * generateDocx({template, output, fields, clearTablesWithKeys, openAfterSave}):
         * template relative to the content data folder ("templates/letter.docx"),
         * output relative to the store documents folder (".docx" is appended when
         * missing). In fields, null or undefined leave a variable absent and ''
         * makes it present but empty; the table rows showing a variable named in
         * clearTablesWithKeys go when it stays empty or blank. Resolves with the
         * written file's path; rejects with error.code ("errorFile": no template,
         * "errorOpenFile", "errorUnpack", "errorXml", "errorPack") and the Russian
         * message; on a rejection a good older output file is left as it was.
         * A template of another kind goes to the office suite: the call then
         * settles as generateFromTemplate below does (either wrapper settles
         * with whichever engine the template's name picks).
         * openDocument(path): opens a file with the desktop's program; resolves
         * with the path, rejects with the message when the file is missing.
         * officeAvailable(): resolves with {available, code} for the office
         * suite that other template kinds need ("office_not_installed").
         */
        generateDocx: function (o) {
            return generateDocument(o);
        },
        openDocument: function (path) {
            return call('officeBridge', 'openFileExternal', [path], {
                done: ['openFileExternalFinished'],
                fail: ['openFileExternalError']
            }).then(firstArg);
        },
        officeAvailable: function () {
            return call('officeBridge', 'checkAvailable', [], {done: ['checkAvailableResult']})
                .then(function (answer) { return {available: answer.args[0], code: answer.args[1]}; });
        },

        /*
         * ZIP archives through 7-Zip (zipBridge). zipAvailable() and
         * zipUnavailableCode() ("exe_file_not_exists") are worth asking first:
         * without 7-Zip zipDir is never answered.
         * zipDir(dir, zipFile, prefix): packs the folder as the archive's top
         * folder, renamed to prefix when one is given; an existing archive is
         * added to. Resolves with zipFile; rejects when 7-Zip crashed or could
         * not start.
         */
        zipAvailable: function () { return bridge().zipBridge.isAvailable(); },
        zipUnavailableCode: function () { return bridge().zipBridge.getAvailableErrorCode(); },
        zipDir: function (dir, zipFile, prefix) {
            return call('zipBridge', 'zipDir', [dir, zipFile, prefix || ''],
                        {done: ['zipDirFinished'], fail: ['zipDirError']})
                .then(function () { return zipFile; });
        },

        /*
         * Files: the private store, the data shipped with the page, choosers and
         * files in any working folder. Every call answers at once (dialogs run
         * inside the call). Texts are UTF-8; CR LF is read as LF.
         * readStore(name) / readContentData(name, fromWorkingDir): resolve with
         * the text; reject with error.code ("fileNotExists", "cannotOpenFile").
         * A content data name may start with "data/" or not.
         * writeStore(name, text): stores text unchanged (folders are made; an
         * earlier file survives a failed write); resolves with name.
         * copyDataFile(name, saveAs, toDocsDir): copies a shipped data file into
         * the documents folder (toDocsDir; an existing file there is kept and
         * reported) or where the user points the save dialog; the file keeps its
         * suffix. Resolves with {savedTo, savedToDir}, or null when the user
         * cancelled; rejects with error.code ("fileNotExists", "fileExists",
         * "cannotCopyFile") and error.savedTo.
         * chooseDir() / chooseFile(patterns): resolve with the path, '' when cancelled.
         * storeFileExists(name), contentDataFileExists(name), storeWritable(),
         * chooseDocsDir() (the new documents folder, '' when cancelled) and
         * showFolderOf(path) (a file's folder in the file manager) answer directly.
         * Working folders ("dir" absolute or relative to the program's working folder):
         * openFile(dir, name) → {path, content}; saveFile(dir, name, text) → path
         * (LF stored as CR LF; the folder must exist); deleteFile(dir, name) → path;
         * these reject with error.code. copyFiles(from, toDir, to, overwrite) →
         * {status, errors}: status 'ok' or 'false' per file, errors [{from, to,
         * code, message}]; rejects with code "errorInput" when the lists differ
         * in length. checkExisted(dir, paths) → status per path.
         * Names with control characters are refused with code "invalidName"; a
         * file, folder list or echo too long for one answer with "tooLarge"
         * (copyFiles and checkExisted reject then as a whole).
         * listFiles(folder, pattern) → plain file names sorted without regard to
         * case; folder is always taken relative to the working folder.
         */
        readStore: function (name) {
            return call(null, 'readFromStore', [name],
                        {done: ['readFromStoreFinished'], fail: ['readFromStoreError']})
                .then(secondArg, withCode(1));
        },
        readContentData: function (name, fromWorkingDir) {
            return call(null, 'readFromContentData', [name, !!fromWorkingDir],
                        {done: ['readFromContentDataFinished'], fail: ['readFromContentDataError']})
                .then(secondArg, withCode(1));
        },
        writeStore: function (name, text) {
            return call(null, 'writeToStore', [name, text],
                        {done: ['writeToStoreFinished'], fail: ['writeToStoreError']}).then(firstArg);
        },
        copyDataFile: function (name, saveAs, toDocsDir) {
            return call(null, 'copyDateFile', [name, saveAs || '', !!toDocsDir], {
                done: ['copyDataFileFinished', 'copyDataFileCancelled'],
                fail: ['copyDataFileError']
            }).then(function (answer) {
                if (answer.signal === 'copyDataFileCancelled') {
                    return null;
                }
                return {savedTo: answer.args[1], savedToDir: answer.args[2]};
            }, function (error) {
                if (error.args) {
                    error.savedTo = error.args[1];
                }
                return withCode(2)(error);
            });
        },
        chooseDir: function () {
            return call(null, 'showFileDialogForSelectDir', [],
                        {done: ['showFileDialogForSelectDirFinished']}).then(firstArg);
        },
        chooseFile: function (patterns) {
            return call(null, 'showFileDialogForSelectFile', [patterns || []],
                        {done: ['showFileDialogForSelectFileFinished']}).then(firstArg);
        },
        storeFileExists: function (name) { return bridge().isStoreFileExists(name); },
        contentDataFileExists: function (name) { return bridge().isContentDataFileExists(name); },
        storeWritable: function () { return bridge().checkStoreDir(); },
        chooseDocsDir: function () { return bridge().changeStoreDocsDirPath(); },
        showFolderOf: function (path) { bridge().openStoreDir(path); },
        openFile: function (dir, name) {
            return call(null, 'openFile', [dir, name], {done: ['openFileFinished'], fail: ['openFileError']})
                .then(function (answer) { return {path: answer.args[0], content: answer.args[2]}; }, withCode(1));
        },
        saveFile: function (dir, name, text) {
            return call(null, 'saveFile', [dir, name, text], {done: ['saveFileFinished'], fail: ['saveFileError']})
                .then(firstArg, withCode(1));
        },
        deleteFile: function (dir, name) {
            return call(null, 'deleteFile', [dir, name], {done: ['deleteFileFinished'], fail: ['deleteFileError']})
                .then(firstArg, withCode(1));
        },
        copyFiles: function (from, toDir, to, overwrite) {
            var errors = [];
            // Item errors are collected; the status list ends the call, except
            // for lists of different lengths, which get no status list.
            return call(null, 'copyFile', [from, toDir, to, !!overwrite], {
                done: ['copyFileStatusFinished', 'copyFileError'],
                keepUntil: function (signal, rest) {
                    // "errorInput" and "tooLarge" refuse the whole call: no status list follows.
                    if (signal === 'copyFileError' && rest[2] !== 'errorInput' && rest[2] !== 'tooLarge') {
                        errors.push({from: rest[0], to: rest[1], code: rest[2], message: rest[3]});
                        return false;
                    }
                    return true;
                }
            }).then(function (answer) {
                if (answer.signal === 'copyFileError') {
                    var error = new Error(answer.args[3]);
                    error.signal = answer.signal;
                    error.args = answer.args;
                    error.code = answer.args[2];
                    throw error;
                }
                return {status: answer.args[2], errors: errors};
            });
        },
        checkExisted: function (dir, paths) {
            // A path's error is part of the status list; only "tooLarge" refuses the whole call.
            return call(null, 'checkExisted', [dir, paths], {
                done: ['checkExistedStatusFinished', 'checkExistedError'],
                keepUntil: function (signal, rest) {
                    return signal !== 'checkExistedError' || rest[1] === 'tooLarge';
                }
            }).then(function (answer) {
                if (answer.signal === 'checkExistedError') {
                    var error = new Error(answer.args[2]);
                    error.signal = answer.signal;
                    error.args = answer.args;
                    error.code = answer.args[1];
                    throw error;
                }
                return answer.args[1];
            });
        },
        listFiles: function (folder, pattern) {
            return call(null, 'getFilesInFolder', [folder, pattern || '*'],
                        {done: ['getFilesInFolderFinished'], fail: ['getFilesInFolderError']}).then(secondArg);
        },

        /*
         * Documents through the office suite (officeBridge's office engine), for
         * templates that are no .docx (.doc, .dot, .dotx, .rtf). The window waits
         * while the document is made; the progress arrives on the way.
         * generateFromTemplate({template, output, fields, clearTablesWithKeys,
         * openAfterSave}, onProgress(percent, state)): template relative to the
         * content data folder, output relative to the store documents folder (the
         * template's suffix is appended when it differs). Resolves with the
         * written file's path; rejects with error.code = the error message
         * ("Не найден файл шаблона", "errorCode:outputPathRealIsOpened",
         * "errorCode:office_not_installed", "errorCode:outputNotSaved") and the
         * Russian message. A .docx template goes to the DOCX engine instead and
         * settles as generateDocx above does.
         * officeVersion(): the office's version text, '' without an office.
         * saveDocumentAs(filePath, saveTo): re-saves a document through the
         * office, in the format saveTo's suffix names; "storeDocs://" and
         * "contentData://" prefixes work. Resolves with saveTo; rejects with
         * error.code ("office_not_installed", "outputNotSaved") and the message.
         */
        generateFromTemplate: function (o, onProgress) {
            return generateDocument(o, onProgress);
        },
        officeVersion: function () {
            return Promise.resolve(bridge().officeBridge.version());
        },
        saveDocumentAs: function (filePath, saveTo) {
            return call('officeBridge', 'saveFile', [filePath, saveTo],
                        {done: ['saveFileSaved'], fail: ['saveFileError']})
                .then(function (answer) { return answer.args[1]; }, withCode(2));
        },

        // SPREADSHEETS-BEGIN
        /*
         * Spreadsheets (spreedSheetBridge and the workbooks and worksheets it
         * hands out). Every call gets handlers of its own, keyed by its
         * handlerId and removed once it settled, so each promise settles
         * exactly once: with the answer, with the error signal, or, since every
         * answer arrives before the call returns, with error.code 'noAnswer'.
         * sheets.available(): resolves with {available, code, version}
         *   (code "office_excel_not_installed" without a spreadsheet application).
         * sheets.open(path, {id, initWorksheets}) / sheets.openFromStore(name, {id,
         *   initWorksheets}) / sheets.openByDialog(baseDir, patterns): resolve with
         *   {workbook, id, path} (openByDialog: null when cancelled); reject with
         *   error.code "failedOpenFile" or "fileNotExistsInStoreDir".
         * sheets.workbook(id), sheets.changeWorkbookId(oldId, newId): the workbook
         *   now registered under the (old) id, or null.
         * sheets.worksheet(workbook, name): the worksheet or null.
         * sheets.cells(ws, addresses) / range(ws, address) / ranges(ws, entries) /
         *   formulas(ws, addresses) / formats(ws, addresses): values as the
         *   spreadsheet keeps them (an empty cell is null), keyed by the addresses
         *   given; range gives rows of values.
         * sheets.setCells(ws, {address: value}) / setFormulas / setFormats.
         * sheets.find(ws, text): the first address or ''; sheets.findAll(ws, text):
         *   every address, in the spreadsheet's search order.
         * sheets.watch(ws, addresses), sheets.unwatch(ws, addresses),
         *   sheets.changes(ws): resolves with {address: value} of the watched cells.
         * sheets.saveAs(wb, path) / saveCopyAs(wb, path) / saveToStore(wb, name,
         *   keepOld) / saveCopyToStore(wb, name, keepOld): resolve with the path
         *   written; reject with error.code "failedSaveFile", "failedCreateDir" or
         *   "failedRenameExists" when nothing was saved (keepOld moves an existing
         *   file aside under a time-stamped name first).
         * sheets.close(wb): closes it, saving its changes.
         * sheets.print(ws, printer, options): true when it went to the printer;
         *   options: pageFrom, pageTo, copies, collate, printToFile, printToFilePath.
         */
        sheets: (function () {
            function sheetBridge() { return bridge().spreedSheetBridge; }

            function failure(signal, rest, code) {
                var error = new Error(rest.length ? String(rest[rest.length - 1]) : signal);
                error.signal = signal;
                error.args = rest;
                error.code = code;
                return error;
            }

            // obj[method](handlerId, ...args); settles on the first of `done`
            // (resolve with {signal, args}) or `fail` (reject; codeAt picks
            // error.code from the arguments after the handlerId), or with
            // 'noAnswer' when the call returned unanswered.
            function ask(obj, method, args, done, fail, codeAt) {
                var id = nextId();
                return new Promise(function (resolve, reject) {
                    var hooks = [];
                    var settled = false;
                    function release() {
                        // Later, not inside the signal being delivered.
                        setTimeout(function () {
                            hooks.forEach(function (hook) { hook.signal.disconnect(hook.handler); });
                        }, 0);
                    }
                    function settle(ok, signal, rest) {
                        if (settled) {
                            return;
                        }
                        settled = true;
                        release();
                        if (ok) {
                            resolve({signal: signal, args: rest});
                        } else {
                            reject(failure(signal, rest, codeAt === undefined ? undefined : rest[codeAt]));
                        }
                    }
                    function hook(signal, ok) {
                        var handler = function () {
                            var all = toArray(arguments);
                            if (all[0] === id) {
                                settle(ok, signal, all.slice(1));
                            }
                        };
                        obj[signal].connect(handler);
                        hooks.push({signal: obj[signal], handler: handler});
                    }
                    try {
                        (fail || []).forEach(function (signal) { hook(signal, false); });
                        done.forEach(function (signal) { hook(signal, true); });
                        obj[method].apply(obj, [id].concat(args));
                    } catch (e) {
                        if (!settled) {
                            settled = true;
                            release();
                            reject(e);
                        }
                        return;
                    }
                    if (!settled) {
                        settled = true;
                        release();
                        reject(failure(method, ['noAnswer'], 'noAnswer'));
                    }
                });
            }

            function opened(answer) {
                return {path: answer.args[0], id: answer.args[1], workbook: answer.args[2]};
            }

            function open(method, args) {
                return ask(sheetBridge(), method, args, ['openFileOpened', 'openFileCancel'], ['openFileError'], 1)
                    .then(function (answer) { return answer.signal === 'openFileCancel' ? null : opened(answer); });
            }

            function third(answer) { return answer.args[2]; }

            function save(wb, method, target, keepOld) {
                var name = keepOld === undefined ? method : method + '(QString,QString,bool)';
                var args = keepOld === undefined ? [target] : [target, !!keepOld];
                return ask(wb, name, args, ['s_saveAsResult'], ['s_saveAsError'], 1)
                    .then(function (answer) { return answer.args[0]; });
            }

            return {
                available: function () {
                    return ask(sheetBridge(), 'checkAvailable', [], ['checkAvailableResult']).then(function (answer) {
                        return {available: answer.args[0], code: answer.args[1], version: answer.args[2].version};
                    });
                },
                version: function () { return sheetBridge().version(); },
                open: function (path, o) {
                    o = o || {};
                    return open('openFile', [path, !!o.initWorksheets, o.id || '']);
                },
                openFromStore: function (name, o) {
                    o = o || {};
                    return open('openFromStore', [o.id || '', name, !!o.initWorksheets]);
                },
                openByDialog: function (baseDir, patterns) {
                    return open('openFileByDialog', [baseDir || '', patterns || '*.xlsx']);
                },
                workbook: function (id) {
                    return ask(sheetBridge(), 'getWorkbook', [id], ['getWorkbookResult'])
                        .then(function (answer) { return answer.args[1]; });
                },
                changeWorkbookId: function (oldId, newId) {
                    return ask(sheetBridge(), 'changeWorkbookId', [oldId, newId], ['changeWorkbookIdResult'])
                        .then(third);
                },
                worksheet: function (wb, name) {
                    return ask(wb, 's_getWorksheet', [name], ['s_getWorksheetResult'])
                        .then(function (answer) { return answer.args[1]; });
                },
                cells: function (ws, addresses) {
                    return ask(ws, 's_getCellsValue', [addresses], ['s_getCellsValueResult']).then(secondArg);
                },
                range: function (ws, address) {
                    return ask(ws, 's_getCellRangeValue', [address], ['s_getCellRangeValueResult']).then(secondArg);
                },
                ranges: function (ws, entries) {
                    return ask(ws, 's_getCellRangesValue', [entries], ['s_getCellRangesValueResult']).then(secondArg);
                },
                formulas: function (ws, addresses) {
                    return ask(ws, 's_getFormulasRange', [addresses], ['s_getFormulasRangeResult']).then(secondArg);
                },
                formats: function (ws, addresses) {
                    return ask(ws, 's_getFormatsRange', [addresses], ['s_getFormatsRangeResult']).then(secondArg);
                },
                setCells: function (ws, values) {
                    return ask(ws, 's_setCellValues', [values], ['s_setCellValuesResult']).then(function () {});
                },
                setFormulas: function (ws, formulas) {
                    return ask(ws, 's_setFormulasRange', [formulas], ['s_setFormulasRangeResult']).then(function () {});
                },
                setFormats: function (ws, formats) {
                    return ask(ws, 's_setFormatsRange', [formats], ['s_setFormatsRangeResult']).then(function () {});
                },
                find: function (ws, text) {
                    return ask(ws, 's_findCellByValue', [text], ['s_findCellByValueResult']).then(function (answer) {
                        return answer.args[1];
                    });
                },
                findAll: function (ws, text) {
                    return ask(ws, 's_findAllCellByValue', [text], ['s_findAllCellByValueResult'])
                        .then(function (answer) { return answer.args[1]; });
                },
                watch: function (ws, addresses) {
                    return ask(ws, 's_addCellsForEventChange', [addresses], ['s_addedCellsForEventChange'])
                        .then(function () {});
                },
                unwatch: function (ws, addresses) {
                    return ask(ws, 's_removeCellsForEventChange', [addresses], ['s_removedCellsForEventChange'])
                        .then(function () {});
                },
                changes: function (ws) {
                    // The one answer without a handlerId: taken while the call runs.
                    return new Promise(function (resolve, reject) {
                        var got = null;
                        var handler = function (values) { got = got || {values: values}; };
                        ws.s_cellsChanged.connect(handler);
                        try {
                            ws.calculatedHandler();
                        } finally {
                            setTimeout(function () { ws.s_cellsChanged.disconnect(handler); }, 0);
                        }
                        if (got) {
                            resolve(got.values);
                        } else {
                            reject(failure('calculatedHandler', ['noAnswer'], 'noAnswer'));
                        }
                    });
                },
                saveAs: function (wb, path) { return save(wb, 's_saveAs', path); },
                saveCopyAs: function (wb, path) { return save(wb, 's_saveCopyAs', path); },
                saveToStore: function (wb, name, keepOld) { return save(wb, 's_saveAsToStore', name, !!keepOld); },
                saveCopyToStore: function (wb, name, keepOld) {
                    return save(wb, 's_saveCopyAsToStore', name, !!keepOld);
                },
                close: function (wb) { return ask(wb, 's_close', [], ['s_closeResult']).then(function () {}); },
                print: function (ws, printer, options) { return ws.print(printer, options || {}); }
            };
        })(),
        // SPREADSHEETS-END

        // SERVICES-END
        _pending: pending
    };

    global.Covrel = Covrel;
})(window);
