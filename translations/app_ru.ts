<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CommandLineParser</name>
    <message>
        <source>Url</source>
        <translation>Адрес страницы</translation>
    </message>
    <message>
        <source>Develop mode</source>
        <translation>Режим разработки</translation>
    </message>
    <message>
        <source>Show IDE window</source>
        <translation>Показать окно IDE</translation>
    </message>
    <message>
        <source>InternalLink</source>
        <translation>Внутренняя ссылка</translation>
    </message>
    <message>
        <source>Content dir path</source>
        <translation>Путь к каталогу содержимого</translation>
    </message>
    <message>
        <source>Content data dir path</source>
        <translation>Путь к каталогу данных содержимого</translation>
    </message>
    <message>
        <source>Write log messages to file</source>
        <translation>Писать сообщения журнала в файл</translation>
    </message>
    <message>
        <source>Path to write log message</source>
        <translation>Путь к файлу журнала</translation>
    </message>
    <message>
        <source>Allow copies started from other directories (always on)</source>
        <translation>Разрешить копии из других каталогов (всегда включено)</translation>
    </message>
    <message>
        <source>Switch off maximazed windows when started</source>
        <translation>Не разворачивать окно при запуске</translation>
    </message>
    <message>
        <source>java home dir</source>
        <translation>Каталог Java</translation>
    </message>
    <message>
        <source>Dir of java home dir</source>
        <translation>Каталог Java</translation>
    </message>
    <message>
        <source>Path to TALQ DORV installation</source>
        <translation>Путь к установке TALQ DORV</translation>
    </message>
    <message>
        <source>Path to TALQ DORV jar for integration</source>
        <translation>Путь к архиву интеграции TALQ DORV</translation>
    </message>
    <message>
        <source>Path to TALQ DORV db</source>
        <translation>Путь к базе TALQ DORV</translation>
    </message>
    <message>
        <source>Path to 7zip exec path</source>
        <translation>Путь к программе 7zip</translation>
    </message>
    <message>
        <source>Path to wkhtmltopdf exec path</source>
        <translation>Путь к программе wkhtmltopdf</translation>
    </message>
    <message>
        <source>Prefix for pdf process file</source>
        <translation>Префикс адреса страниц печати PDF</translation>
    </message>
    <message>
        <source>url</source>
        <translation>адрес</translation>
    </message>
    <message>
        <source>path</source>
        <translation>путь</translation>
    </message>
</context>
</TS>
