/*
 * "Documents" panel: fills the bundled letter template from the form and
 * opens the result with the desktop's program.
 */
(function () {
    'use strict';

    var TEMPLATE = 'templates/letter.docx';
    var MAX_ITEMS = 5;

    function $(id) { return document.getElementById(id); }

    if (!$('panel-documents') || !Covrel.isAvailable()) {
        return;
    }

    var lastPath = null;

    function say(text, kind) {
        $('docsStatus').textContent = text;
        $('docsStatus').className = kind || '';
    }

    // One item a line: "name; amount". Lines beyond the template's rows are dropped.
    function items() {
        return $('docsItems').value.split('\n').filter(function (line) {
            return line.trim().length > 0;
        }).slice(0, MAX_ITEMS).map(function (line) {
            var parts = line.split(';');
            return {name: parts[0].trim(), amount: (parts[1] || '').trim()};
        });
    }

    function amountValue(text) {
        return parseFloat(text.replace(/\s/g, '').replace(',', '.')) || 0;
    }

    function fields() {
        var list = items();
        var values = {
            client: $('docsClient').value,
            city: $('docsCity').value,
            orderNumber: $('docsOrder').value,
            manager: $('docsManager').value,
            date: new Date().toLocaleDateString('ru-RU')
        };
        var total = 0;
        for (var i = 1; i <= MAX_ITEMS; i++) {
            var item = list[i - 1];
            // Rows of items left absent are removed from the table.
            values['item' + i] = item ? item.name : null;
            values['amount' + i] = item ? item.amount : null;
            total += item ? amountValue(item.amount) : 0;
        }
        values.total = total.toLocaleString('ru-RU');
        return values;
    }

    function rowKeys() {
        var keys = [];
        for (var i = 1; i <= MAX_ITEMS; i++) {
            keys.push('item' + i);
        }
        return keys;
    }

    function generate() {
        $('docsGenerate').disabled = true;
        say('Создаётся…');
        Covrel.generateDocx({
            template: TEMPLATE,
            output: $('docsOutput').value || 'Письмо',
            fields: fields(),
            clearTablesWithKeys: rowKeys(),
            openAfterSave: $('docsOpenAfter').checked
        }).then(function (path) {
            lastPath = path;
            $('docsPath').textContent = path;
            $('docsOpen').disabled = false;
            say('Документ создан', 'ok');
        }, function (error) {
            say('Ошибка' + (error.code ? ' (' + error.code + ')' : '') + ': ' + error.message, 'err');
        }).then(function () {
            $('docsGenerate').disabled = false;
        });
    }

    function open() {
        if (!lastPath) {
            return;
        }
        Covrel.openDocument(lastPath).then(function () {
            say('Открыт', 'ok');
        }, function (error) {
            say(error.message, 'err');
        });
    }

    $('docsGenerate').addEventListener('click', generate);
    $('docsOpen').addEventListener('click', open);
})();
