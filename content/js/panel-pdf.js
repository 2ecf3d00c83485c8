/*
 * "PDF" panel: prints the demo report page (pdf.html) for a few records in
 * one batch; the progress bar follows the converter's queue counter.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-pdf') || !Covrel.isAvailable()) {
        return;
    }

    // One record a line: number; name; owner; status
    function records() {
        var today = new Date().toISOString().substring(0, 10);
        return $('pdfRecords').value.split('\n').filter(function (line) {
            return line.trim().length > 0;
        }).map(function (line) {
            var parts = line.split(';').map(function (part) { return part.trim(); });
            return {number: parts[0], name: parts[1] || '', owner: parts[2] || '', status: parts[3] || '',
                    date: today, printedAt: new Date().toLocaleString()};
        });
    }

    function say(text, kind) {
        $('pdfStatus').textContent = text;
        $('pdfStatus').className = kind || '';
    }

    function showFiles(files) {
        $('pdfFiles').textContent = files.join('\n');
    }

    function checkConverter() {
        if (Covrel.pdfAvailable() && !Covrel.pdfUnavailableCode()) {
            say('Конвертер найден', 'ok');
            return true;
        }
        say('Конвертер недоступен: ' + (Covrel.pdfUnavailableCode() || 'неизвестно'), 'err');
        return false;
    }

    function print() {
        var list = records();
        if (!list.length || !checkConverter()) {
            return;
        }
        var dir = Covrel.storePdfDir($('pdfPrefix').value || 'Выписка');
        var files = list.map(function (record, i) {
            return dir + '/' + (i + 1) + ' ' + String(record.number).replace(/[\\/:*?"<>|]/g, '_') + '.pdf';
        });
        var scripts = list.map(function (record) { return 'showRecord(' + JSON.stringify(record) + ')'; });
        $('pdfProgress').max = list.length;
        $('pdfProgress').value = 0;
        $('pdfPrint').disabled = true;
        say('Печать ' + list.length + ' в ' + dir + '…');
        showFiles([]);
        Covrel.convertHtmlToPdfBatch({
            pdfFiles: files,
            scripts: scripts,
            onProgress: function (left) {
                $('pdfProgress').value = list.length - left;
                say('Готово ' + (list.length - left) + ' из ' + list.length);
            }
        }).then(function (done) {
            say('Готово: ' + done.length + ' PDF', 'ok');
            showFiles(done);
        }, function () {
            say('Печать прервана: конвертер не ответил или запрос отклонён', 'err');
        }).then(function () {
            $('pdfPrint').disabled = false;
        });
    }

    checkConverter();
    $('pdfPrint').addEventListener('click', print);
})();
