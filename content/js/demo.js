/* The demo application's own page logic: shows the bridge is live and asks before closing. */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    function show(el, text, ok) {
        el.textContent = text;
        el.className = ok ? 'ok' : 'err';
    }

    if (!Covrel.isAvailable()) {
        show($('bridgeStatus'), 'Мост: недоступен (страница открыта не в программе)', false);
        return;
    }

    Covrel.echo('ping').then(function (answer) {
        show($('bridgeStatus'), answer === 'ping' ? 'Мост: работает' : 'Мост: неверный ответ', answer === 'ping');
        console.log('demo-ready');
    });

    var dirs = Covrel.directories();
    $('dirs').textContent = 'Содержимое: ' + dirs.content + '\nДанные: ' + dirs.contentData +
        '\nХранилище: ' + dirs.store + '\nДокументы: ' + dirs.storeDocs;
    var printers = Covrel.printers();
    $('printers').textContent = printers.length ? printers.join('\n') : 'Принтеры не найдены';

    $('echoButton').addEventListener('click', function () {
        Covrel.echo($('echoText').value).then(function (answer) {
            show($('echoResult'), 'Ответ: ' + answer, true);
        });
    });

    $('journalButton').addEventListener('click', function () {
        Covrel.log($('journalText').value, {source: 'demo', at: new Date().toISOString()});
        show($('journalResult'), 'Записано', true);
    });

    $('quitButton').addEventListener('click', function () { Covrel.quit(); });

    // The window asks before closing; the answer comes from this dialog.
    var answer = null;
    Covrel.onCloseRequest(function () {
        $('closeDialog').style.display = 'block';
        return new Promise(function (resolve) { answer = resolve; });
    });
    function decide(accept) {
        $('closeDialog').style.display = 'none';
        if (answer) { answer(accept); answer = null; }
    }
    $('closeYes').addEventListener('click', function () { decide(true); });
    $('closeNo').addEventListener('click', function () { decide(false); });
})();
