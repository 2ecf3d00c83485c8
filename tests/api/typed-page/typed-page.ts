/*
 * A page written against the declarations: compiled with --strict to ES5 and
 * run in the shell, it calls the promise wrappers and reports what they
 * resolved and rejected with. Wrappers that need a network, a converter, an
 * office suite or would end the program are only type-checked (typeOnly).
 */

interface Window {
    runTypedPage(scratch: string): Promise<PageReport>;
}

interface PageReport {
    [check: string]: Covrel.Variant;
}

function rejection<E extends Covrel.CallError>(promise: Promise<unknown>): Promise<E> {
    return promise.then(
        () => {
            throw new Error('resolved where a rejection was expected');
        },
        (error: E) => error);
}

async function files(scratch: string, report: PageReport): Promise<void> {
    report.writeStore = await Covrel.writeStore('typed/notes.txt', 'строка\nline');
    report.readStore = await Covrel.readStore('typed/notes.txt');
    report.readStoreMissing = (await rejection<Covrel.StoreReadError>(Covrel.readStore('typed/none.txt'))).code;
    report.readContentData = (await Covrel.readContentData('samples/notes.txt')).length > 0;
    report.exists = [Covrel.storeFileExists('typed/notes.txt'), Covrel.contentDataFileExists('samples/notes.txt'),
        Covrel.storeWritable()];
    const copied: Covrel.CopiedDataFile | null = await Covrel.copyDataFile('samples/notes.txt', 'copy');
    report.copyDataFile = copied ? copied.savedTo : null;
    const refused = await rejection<Covrel.CopyDataFileError>(Covrel.copyDataFile('samples/none.txt', '', true));
    report.copyDataFileMissing = [refused.code, refused.savedTo];

    report.saveFile = await Covrel.saveFile(scratch, 'a.txt', 'x\ny');
    const opened = await Covrel.openFile(scratch, 'a.txt');
    report.openFile = opened.content;
    const copies: Covrel.CopyFilesResult = await Covrel.copyFiles([scratch + '/a.txt'], scratch, ['b.txt'], false);
    report.copyFiles = copies.status;
    report.copyFilesUneven = (await rejection<Covrel.WorkDirError>(Covrel.copyFiles([], scratch, ['c.txt']))).code;
    report.checkExisted = await Covrel.checkExisted(scratch, ['a.txt', 'none.txt']);
    report.listFiles = await Covrel.listFiles(scratch, '*.txt');
    report.deleteFile = (await Covrel.deleteFile(scratch, 'b.txt')).length > 0;
    report.deleteFileMissing = (await rejection<Covrel.WorkDirError>(Covrel.deleteFile(scratch, 'b.txt'))).code;

    report.chooseDir = await Covrel.chooseDir();
    report.chooseFile = await Covrel.chooseFile(['*.txt']);
    report.chooseDocsDir = Covrel.chooseDocsDir();
    Covrel.setStoreDocsDir(scratch);
    report.storeDocs = Covrel.directories().storeDocs;
    Covrel.setStoreDocsDir('');
    Covrel.showFolderOf(scratch + '/a.txt');
    report.openDocument = await Covrel.openDocument(scratch + '/a.txt');
}

async function programs(scratch: string, report: PageReport): Promise<void> {
    let started = '';
    report.execExternal = await Covrel.execExternal('/bin/true', [], '', (path: string) => { started = path; });
    report.execStarted = started;
    report.execFailed = (await rejection(Covrel.execExternal('/bin/false'))).message;
    report.isExecExternal = Covrel.isExecExternal('/bin/true');
    report.gitVersion = (await Covrel.gitVersion()).indexOf('git version') === 0;
    report.zip = [Covrel.zipAvailable(), Covrel.zipUnavailableCode()];
    report.zipDir = await Covrel.zipDir(scratch, Covrel.directories().store + '/typed.zip', 'packed');
    report.pdf = [Covrel.pdfAvailable(), Covrel.pdfUnavailableCode(), Covrel.storePdfDir('Отчёт')];
}

async function documents(scratch: string, report: PageReport): Promise<void> {
    report.generateDocx = await Covrel.generateDocx({
        template: 'templates/letter.docx', output: scratch + '/letter', fields: { name: 'Тест', absent: null },
        clearTablesWithKeys: [],
    });
    report.generateDocxMissing = (await rejection<Covrel.DocumentError>(Covrel.generateDocx({ template: 'none.docx' }))).code;
    const office = await Covrel.officeAvailable();
    report.officeAvailable = [office.available, office.code];
    report.officeVersion = await Covrel.officeVersion();
    const progress: number[] = [];
    const missing = await rejection<Covrel.DocumentError>(
        Covrel.generateFromTemplate({ template: 'none.rtf' }, (percent: number) => { progress.push(percent); }));
    report.generateFromTemplateMissing = missing.code;
    const notSaved = await rejection<Covrel.SaveDocumentError>(
        Covrel.saveDocumentAs('storeDocs://letter.docx', 'storeDocs://letter.pdf'));
    report.saveDocumentAs = notSaved.code;
}

async function registry(scratch: string, report: PageReport): Promise<void> {
    report.registry = [Covrel.registry.enabled(), Covrel.registry.disabledCode()];
    report.registryInfo = (await rejection(Covrel.registry.info(1))).signal;
    const refused = await rejection<Covrel.HomeDirError>(Covrel.registry.setHomeDir(scratch + '/none'));
    report.setHomeDir = refused.codes;
    report.chooseHomeDir = (await rejection<Covrel.HomeDirError>(Covrel.registry.chooseHomeDir())).codes;
    report.registryStop = (await Covrel.registry.stop()).signal;
}

async function sheets(report: PageReport): Promise<void> {
    const available = await Covrel.sheets.available();
    report.sheets = [available.available, available.code, Covrel.sheets.version()];
    report.sheetsOpen = (await rejection<Covrel.SheetError>(Covrel.sheets.open('/none.xlsx'))).code;
    report.sheetsOpenFromStore = (await rejection<Covrel.SheetError>(Covrel.sheets.openFromStore('none.xlsx'))).code;
    report.sheetsOpenByDialog = (await Covrel.sheets.openByDialog("", "*.xlsx")) === null;
    report.sheetsWorkbook = (await Covrel.sheets.workbook('none')) === null;
}

window.runTypedPage = async function (scratch: string): Promise<PageReport> {
    const report: PageReport = {};
    report.available = Covrel.isAvailable();
    report.echo = await Covrel.echo('typed');
    const raw: Covrel.Answer = await Covrel.call(null, 'echo', ['raw'], { done: ['echoSender'] });
    report.call = [raw.signal, raw.args[0]];
    const dirs: Covrel.Directories = Covrel.directories();
    report.directories = [dirs.content, dirs.contentData, dirs.store];
    report.printers = Array.isArray(Covrel.printers());
    Covrel.log('typed page', { step: 1 });
    Covrel.beep();
    Covrel.onCloseRequest(() => false);
    await files(scratch, report);
    await programs(scratch, report);
    await documents(scratch, report);
    await registry(scratch, report);
    await sheets(report);
    return report;
};

// Never run: the wrappers this page cannot call headless, checked for their types.
function typeOnly(wb: Covrel.SpreedSheet.Workbook, ws: Covrel.SpreedSheet.Worksheet): void {
    const git: Covrel.GitCloneOptions = { repoUrl: 'https://example.invalid/r.git', folder: 'r', branch: 'main' };
    Covrel.gitClone(git).then((answer: Covrel.GitAnswer) => answer.destPath);
    Covrel.gitPull(git).then((answer: Covrel.GitAnswer) => answer.repoUrl);
    Covrel.gitCommitAndPush({ repoUrl: git.repoUrl, folder: 'r', author: 'A <a@b>', comment: 'c' });
    Covrel.convertHtmlToPdf('a.pdf', ['--page-size', 'A4']).then((file: string) => file.length);
    Covrel.convertHtmlToPdfBatch({ pdfFiles: ['a.pdf'], scripts: ['showRecord({})'], onProgress: (left: number) => left });
    Covrel.registry.elections(1);
    Covrel.registry.members(1);
    Covrel.registry.full(1).then((record: Covrel.Variant) => record);
    Covrel.quit();
    Covrel.sheets.changeWorkbookId('a', 'b');
    Covrel.sheets.worksheet(wb, 'Лист1').then((sheet: Covrel.SpreedSheet.Worksheet | null) => sheet);
    Covrel.sheets.cells(ws, ['A1']);
    Covrel.sheets.range(ws, 'A1:B2');
    Covrel.sheets.ranges(ws, ['A1:C1,E5']);
    Covrel.sheets.formulas(ws, ['A1']);
    Covrel.sheets.formats(ws, ['A1']);
    Covrel.sheets.setCells(ws, { A1: 1, B1: 'x', C1: true });
    Covrel.sheets.setFormulas(ws, { A2: '=A1*2' });
    Covrel.sheets.setFormats(ws, { A1: '0.00' });
    Covrel.sheets.find(ws, 'x');
    Covrel.sheets.findAll(ws, 'x');
    Covrel.sheets.watch(ws, ['A1']);
    Covrel.sheets.unwatch(ws, ['A1']);
    Covrel.sheets.changes(ws).then((values: Covrel.VariantMap) => values);
    Covrel.sheets.saveAs(wb, '/tmp/a.xlsx');
    Covrel.sheets.saveCopyAs(wb, '/tmp/b.xlsx');
    Covrel.sheets.saveToStore(wb, 'a.xlsx', true);
    Covrel.sheets.saveCopyToStore(wb, 'b.xlsx');
    Covrel.sheets.close(wb);
    Covrel.sheets.print(ws, 'PDF', { copies: 1 });
    // The raw bridge, typed as well.
    __covrelBridge.zipBridge.zipDirFinished.connect((handlerId: string, dir: string, zip: string, prefix: string) => {
        console.log(handlerId, dir, zip, prefix);
    });
    const sheet: Covrel.SpreedSheet.Worksheet | null = wb.getWorksheet(0);
    if (sheet)
        sheet.s_setCellValue('h', 'A1', 5.5);
}
