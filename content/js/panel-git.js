/*
 * "Git" panel: version check, clone, pull, commit and push of a working copy
 * whose folder the user enters. Addresses shown here never carry the password
 * (the shell's answers put it into the address).
 */
(function () {
    'use strict';

    function $(id) { return document.getElementById(id); }

    if (!$('panel-git') || !Covrel.isAvailable()) {
        return;
    }

    function show(text, kind) {
        var out = $('gitOutput');
        out.className = kind || '';
        out.textContent = text;
    }

    function withoutCredentials(url) {
        return String(url).replace(/\/\/[^\/\s]*@/g, '//');
    }

    // git clones into <folder>/<repository name>, which pull and push then use.
    function repositoryName(url) {
        var last = withoutCredentials(url).replace(/\/+$/, '').split('/').pop() || '';
        return last.replace(/\.git$/, '');
    }

    function form() {
        return {
            repoUrl: $('gitUrl').value,
            login: $('gitLogin').value,
            pass: $('gitPass').value,
            folder: $('gitFolder').value,
            branch: $('gitBranch').value,
            workingCopy: $('gitWorkingCopy').value,
            author: $('gitAuthor').value,
            comment: $('gitComment').value
        };
    }

    // A git call holds the window until git ends: let the notice paint first.
    function busy(what, work) {
        show(what + '…');
        setTimeout(work, 30);
    }

    function failed(error) {
        show(error.message, 'err');
    }

    function version() {
        busy('git -v', function () {
            Covrel.gitVersion().then(function (text) { show(text, 'ok'); }, failed);
        });
    }

    function clone() {
        var f = form();
        busy('Клонирование ' + withoutCredentials(f.repoUrl), function () {
            Covrel.gitClone(f).then(function (answer) {
                var copy = f.folder.replace(/\/+$/, '') + '/' + repositoryName(f.repoUrl);
                $('gitWorkingCopy').value = copy;
                show('Склонировано в ' + answer.destPath + '\nРабочая копия: ' + copy, 'ok');
            }, failed);
        });
    }

    function pull() {
        var f = form();
        busy('Получение изменений в ' + f.workingCopy, function () {
            Covrel.gitPull({repoUrl: f.repoUrl, login: f.login, pass: f.pass, folder: f.workingCopy, branch: f.branch})
                .then(function (answer) { show('Изменения получены: ' + answer.destPath, 'ok'); }, failed);
        });
    }

    function commitAndPush() {
        var f = form();
        busy('Коммит и отправка ' + f.workingCopy, function () {
            Covrel.gitCommitAndPush({repoUrl: f.repoUrl, login: f.login, pass: f.pass, folder: f.workingCopy,
                                     author: f.author, comment: f.comment})
                .then(function (answer) { show('Изменения отправлены: ' + answer.destPath, 'ok'); }, failed);
        });
    }

    $('gitVersion').addEventListener('click', version);
    $('gitClone').addEventListener('click', clone);
    $('gitPull').addEventListener('click', pull);
    $('gitPush').addEventListener('click', commitAndPush);
})();
