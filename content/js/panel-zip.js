/*
 * "ZIP" panel: packs a folder (by default the documents folder) into an
 * archive in the store, its top folder renamed as the user asks.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-zip') || !Covrel.isAvailable()) {
        return;
    }

    function say(text, kind) {
        $('zipStatus').textContent = text;
        $('zipStatus').className = kind || '';
    }

    function available() {
        if (Covrel.zipAvailable()) {
            return true;
        }
        say('7-Zip недоступен: ' + (Covrel.zipUnavailableCode() || 'неизвестно'), 'err');
        return false;
    }

    function pack() {
        if (!available()) {
            return;
        }
        $('zipRun').disabled = true;
        say('Упаковывается…');
        Covrel.zipDir($('zipDirPath').value, $('zipFilePath').value, $('zipPrefix').value).then(function (zipFile) {
            say('Готово: ' + zipFile, 'ok');
        }, function () {
            say('7-Zip завершился аварийно или не запустился', 'err');
        }).then(function () {
            $('zipRun').disabled = false;
        });
    }

    var dirs = Covrel.directories();
    $('zipDirPath').value = dirs.storeDocs;
    $('zipFilePath').value = dirs.store + '/Документы.zip';
    if (available()) {
        say('7-Zip найден', 'ok');
    }
    $('zipRun').addEventListener('click', pack);
})();
