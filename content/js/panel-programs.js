/*
 * "Programs" panel: checks and runs a program the user names and lists the
 * events of each run (started, finished, failed) as they arrive.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-programs') || !Covrel.isAvailable()) {
        return;
    }

    function argumentsFromText(text) {
        return text.split('\n').filter(function (line) { return line.length > 0; });
    }

    function addEvent(text, kind) {
        var item = document.createElement('li');
        item.className = kind || '';
        item.textContent = new Date().toLocaleTimeString() + '  ' + text;
        $('programsEvents').appendChild(item);
    }

    function request() {
        return {
            path: $('programsPath').value,
            args: argumentsFromText($('programsArgs').value),
            dir: $('programsDir').value
        };
    }

    function check() {
        var r = request();
        var ok = Covrel.isExecExternal(r.path, r.args, r.dir);
        addEvent(r.path + (ok ? ': можно запустить' : ': не исполняемый файл'), ok ? 'ok' : 'err');
    }

    function run() {
        var r = request();
        addEvent('Запуск ' + r.path + (r.args.length ? ' ' + JSON.stringify(r.args) : ''));
        Covrel.execExternal(r.path, r.args, r.dir, function (path) {
            addEvent(path + ': запущена');
        }).then(function (path) {
            addEvent(path + ': завершилась', 'ok');
        }, function (error) {
            addEvent((error.args ? error.args[0] : r.path) + ': ' + error.message, 'err');
        });
    }

    $('programsCheck').addEventListener('click', check);
    $('programsRun').addEventListener('click', run);
    $('programsClear').addEventListener('click', function () { $('programsEvents').innerHTML = ''; });
})();
