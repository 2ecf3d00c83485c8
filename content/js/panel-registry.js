/*
 * "Registry" panel: picks the registry installation (the sample laid out
 * beside the program, or a folder chosen in a dialog), looks up a unit by
 * its number and shows its record, elections and members.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-registry') || !Covrel.isAvailable()) {
        return;
    }

    var registry = Covrel.registry;

    function say(el, text, kind) {
        el.textContent = text;
        el.className = kind || '';
    }

    function showState() {
        var code = registry.disabledCode();
        if (registry.enabled()) {
            say($('registryState'), 'Интеграция готова к работе', 'ok');
        } else {
            say($('registryState'), 'Интеграция недоступна: ' + code, 'err');
        }
    }

    // The build lays the sample out in integrations/ beside content/.
    function sampleDir() {
        var content = Covrel.directories().content;
        return content.replace(/\/[^\/]*\/?$/, '') + '/integrations/talqdorv/sample-registry';
    }

    function useHomeDir(promise) {
        promise.then(function (dir) {
            say($('registryHome'), dir, 'ok');
        }, function (error) {
            say($('registryHome'), error.message + (error.codes ? '\n(' + error.codes.join(', ') + ')' : ''), 'err');
        }).then(showState);
    }

    function cell(row, text) {
        var td = document.createElement('td');
        td.textContent = text === null || text === undefined ? '—' : String(text);
        td.style.padding = '2px 6px';
        td.style.borderBottom = '1px solid #dde3ea';
        row.appendChild(td);
    }

    function table(caption, rows, columns) {
        var box = document.createElement('div');
        var title = document.createElement('label');
        title.textContent = caption + (rows.length ? '' : ': нет');
        box.appendChild(title);
        if (!rows.length) {
            return box;
        }
        var t = document.createElement('table');
        t.style.fontSize = '13px';
        t.style.borderCollapse = 'collapse';
        rows.forEach(function (item) {
            var row = document.createElement('tr');
            columns.forEach(function (column) { cell(row, item[column]); });
            t.appendChild(row);
        });
        box.appendChild(t);
        return box;
    }

    function showRecord(unit) {
        var box = $('registryRecord');
        box.innerHTML = '';
        if (!unit) {
            box.textContent = 'Программа интеграции вернула пустой ответ';
            return;
        }
        var head = document.createElement('pre');
        head.textContent = '№ ' + unit.number + ' «' + unit.name + '»\nАдрес: ' + (unit.address || '—') +
            '\nТелефон: ' + (unit.phone || '—');
        box.appendChild(head);
        box.appendChild(table('Выборы', unit.elections || [], ['date', 'title', 'voters']));
        box.appendChild(table('Состав', unit.members || [], ['fullName', 'role', 'phone']));
    }

    function lookup() {
        var number = parseInt($('registryNumber').value, 10);
        if (isNaN(number)) {
            say($('registryStatus'), 'Введите номер', 'err');
            return;
        }
        say($('registryStatus'), 'Запрос…');
        $('registryRecord').innerHTML = '';
        registry.full(number).then(function (unit) {
            say($('registryStatus'), 'Найдено', 'ok');
            showRecord(unit);
        }, function (error) {
            say($('registryStatus'), error.message, 'err');
        });
    }

    $('registrySample').addEventListener('click', function () { useHomeDir(registry.setHomeDir(sampleDir())); });
    $('registryChoose').addEventListener('click', function () { useHomeDir(registry.chooseHomeDir()); });
    $('registryStop').addEventListener('click', function () {
        registry.stop().then(function () { say($('registryStatus'), 'Программа интеграции остановлена', 'ok'); });
    });
    $('registryLookup').addEventListener('click', lookup);
    $('registryNumber').addEventListener('keydown', function (event) {
        if (event.keyCode === 13) {
            lookup();
        }
    });
    showState();
})();
