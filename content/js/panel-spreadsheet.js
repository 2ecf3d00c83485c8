/*
 * "Spreadsheets" panel: opens the bundled estimate workbook, writes
 * quantities and prices into it, shows the total the workbook computes
 * (a watched cell), prints the sheet on a chosen printer and saves the
 * workbook into the store, keeping the file it replaces.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-sheet') || !Covrel.isAvailable()) {
        return;
    }

    var sheets = Covrel.sheets;
    var ROWS = [2, 3, 4];
    var TOTAL = 'D6';
    var state = {workbook: null, worksheet: null};

    function say(id, text, kind) {
        $(id).textContent = text;
        $(id).className = kind || '';
    }

    function failed(id) {
        return function (error) { say(id, 'Ошибка: ' + (error.code || '') + ' ' + error.message, 'err'); };
    }

    function number(text) {
        var value = Number(String(text).replace(',', '.').replace(/\s/g, ''));
        return isNaN(value) ? text : value;
    }

    function showTotal() {
        return sheets.changes(state.worksheet).then(function (values) {
            var total = values[TOTAL];
            $('sheetTotal').textContent = total === null || total === undefined ? '—' : String(total);
        });
    }

    function showItems() {
        return sheets.range(state.worksheet, 'A2:C4').then(function (rows) {
            ROWS.forEach(function (row, i) {
                var line = rows[i] || [];
                $('sheetItem' + row).textContent = line[0] === null || line[0] === undefined ? '' : line[0];
                $('sheetQty' + row).value = line[1] === null || line[1] === undefined ? '' : line[1];
                $('sheetPrice' + row).value = line[2] === null || line[2] === undefined ? '' : line[2];
            });
        });
    }

    function enable(on) {
        ['sheetWrite', 'sheetPrint', 'sheetSave'].forEach(function (id) { $(id).disabled = !on; });
    }

    function check() {
        sheets.available().then(function (answer) {
            if (answer.available) {
                say('sheetStatus', 'Приложение таблиц доступно, версия ' + answer.version, 'ok');
            } else {
                say('sheetStatus', 'Приложение таблиц не установлено (' + answer.code + ')', 'err');
            }
        });
    }

    function open() {
        say('sheetStatus', 'Открывается…');
        var path = Covrel.directories().contentData + '/workbooks/estimate.xlsx';
        sheets.open(path, {id: 'estimate'}).then(function (opened) {
            state.workbook = opened.workbook;
            return sheets.worksheet(opened.workbook, 'Смета');
        }).then(function (worksheet) {
            if (!worksheet) {
                throw new Error('в книге нет листа «Смета»');
            }
            state.worksheet = worksheet;
            return sheets.watch(worksheet, [TOTAL]);
        }).then(showItems).then(showTotal).then(function () {
            enable(true);
            say('sheetStatus', 'Смета открыта', 'ok');
        }, failed('sheetStatus'));
    }

    function write() {
        var values = {};
        ROWS.forEach(function (row) {
            values['B' + row] = number($('sheetQty' + row).value);
            values['C' + row] = number($('sheetPrice' + row).value);
        });
        sheets.setCells(state.worksheet, values).then(showTotal).then(function () {
            say('sheetStatus', 'Записано', 'ok');
        }, failed('sheetStatus'));
    }

    function print() {
        var toFile = $('sheetToFile').checked;
        var sent = sheets.print(state.worksheet, $('sheetPrinter').value, {
            copies: 1,
            printToFile: toFile,
            printToFilePath: toFile ? $('sheetPrintFile').value : ''
        });
        say('sheetStatus', sent ? 'Отправлено на печать' : 'Не напечатано: укажите файл для печати', sent ? 'ok' : 'err');
    }

    function save() {
        say('sheetSaveStatus', 'Сохраняется…');
        sheets.saveToStore(state.workbook, $('sheetSaveName').value, $('sheetKeepOld').checked).then(function (path) {
            say('sheetSaveStatus', 'Сохранено: ' + path, 'ok');
        }, failed('sheetSaveStatus'));
    }

    Covrel.printers().forEach(function (name) {
        var option = document.createElement('option');
        option.value = name;
        option.textContent = name;
        $('sheetPrinter').appendChild(option);
    });

    $('sheetCheck').addEventListener('click', check);
    $('sheetOpen').addEventListener('click', open);
    $('sheetWrite').addEventListener('click', write);
    $('sheetPrint').addEventListener('click', print);
    $('sheetSave').addEventListener('click', save);
})();
