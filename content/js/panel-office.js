/*
 * "Documents through the office" panel: tells whether an office suite is
 * there, and fills a template of another kind than .docx through it,
 * showing the progress states on the way.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-office') || !Covrel.isAvailable()) {
        return;
    }

    var STATES = {
        started: 'копия шаблона готова',
        fileOpened: 'шаблон открыт',
        replacing: 'заполняются переменные',
        clearTables: 'удаляются пустые строки',
        fileSaving: 'сохраняется',
        faleSaved: 'сохранён',
        finished: 'готово'
    };

    function say(text, kind) {
        $('officeStatus').textContent = text;
        $('officeStatus').className = kind || '';
    }

    function fields() {
        return {
            client: $('officeClient').value,
            city: 'Новосибирск',
            orderNumber: '2026-118',
            manager: 'Петров П. П.',
            date: new Date().toLocaleDateString('ru-RU'),
            item1: 'Стол письменный', amount1: '12 400',
            item2: 'Кресло', amount2: '7 900',
            item3: '', amount3: '', item4: '', amount4: '', item5: '', amount5: '',
            total: '20 300'
        };
    }

    function check() {
        Covrel.officeAvailable().then(function (answer) {
            if (!answer.available) {
                say('Офисный пакет не установлен (' + answer.code + ')', 'err');
                return;
            }
            return Covrel.officeVersion().then(function (version) {
                say('Офисный пакет доступен, версия ' + version, 'ok');
            });
        });
    }

    function generate() {
        $('officeGenerate').disabled = true;
        $('officeProgress').value = 0;
        say('Создаётся…');
        Covrel.generateFromTemplate({
            template: $('officeTemplate').value,
            output: $('officeOutput').value || 'Письмо',
            fields: fields(),
            clearTablesWithKeys: ['item1', 'item2', 'item3', 'item4', 'item5']
        }, function (percent, state) {
            $('officeProgress').value = percent;
            say((STATES[state] || state) + ' (' + percent + '%)');
        }).then(function (path) {
            $('officePath').textContent = path;
            say('Документ создан', 'ok');
        }, function (error) {
            say('Ошибка: ' + error.message, 'err');
        }).then(function () {
            $('officeGenerate').disabled = false;
        });
    }

    $('officeCheck').addEventListener('click', check);
    $('officeGenerate').addEventListener('click', generate);
})();
