/*
 * "Files" panel: writes and reads a text in the store, copies a file shipped
 * with the page out to the user, and lists the files of a chosen folder.
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-files') || !Covrel.isAvailable()) {
        return;
    }

    var lastCopy = null;

    function say(id, text, kind) {
        $(id).textContent = text;
        $(id).className = kind || '';
    }

    function failed(id) {
        return function (error) {
            say(id, 'Ошибка: ' + error.message + (error.code ? ' (' + error.code + ')' : ''), 'err');
        };
    }

    function writeStore() {
        var name = $('filesStoreName').value;
        Covrel.writeStore(name, $('filesStoreText').value).then(function () {
            say('filesStoreStatus', 'Записано: ' + name, 'ok');
        }, failed('filesStoreStatus'));
    }

    function readStore() {
        Covrel.readStore($('filesStoreName').value).then(function (text) {
            $('filesStoreText').value = text;
            say('filesStoreStatus', 'Прочитано символов: ' + text.length, 'ok');
        }, failed('filesStoreStatus'));
    }

    function copyDataFile() {
        Covrel.copyDataFile($('filesDataName').value, $('filesCopyName').value, $('filesCopyToDocs').checked)
            .then(function (copy) {
                if (!copy) {
                    say('filesCopyStatus', 'Отменено');
                    return;
                }
                lastCopy = copy.savedTo;
                $('filesShowFolder').disabled = false;
                say('filesCopyStatus', 'Сохранено: ' + copy.savedTo, 'ok');
            }, failed('filesCopyStatus'));
    }

    function listFiles() {
        var folder = $('filesDir').value;
        Covrel.listFiles(folder, $('filesPattern').value).then(function (names) {
            $('filesListResult').textContent = names.length ? names.join('\n') : '(нет файлов)';
            say('filesListStatus', 'Файлов: ' + names.length, 'ok');
        }, function (error) {
            $('filesListResult').textContent = '';
            failed('filesListStatus')(error);
        });
    }

    function pickDir() {
        Covrel.chooseDir().then(function (dir) {
            if (dir) {
                $('filesDir').value = dir;
                listFiles();
            }
        });
    }

    $('filesDir').value = Covrel.directories().storeDocs;
    $('filesStoreWrite').addEventListener('click', writeStore);
    $('filesStoreRead').addEventListener('click', readStore);
    $('filesCopy').addEventListener('click', copyDataFile);
    $('filesShowFolder').addEventListener('click', function () {
        if (lastCopy) {
            Covrel.showFolderOf(lastCopy);
        }
    });
    $('filesPickDir').addEventListener('click', pickDir);
    $('filesList').addEventListener('click', listFiles);
})();
