#!/usr/bin/env node
/*
 * The page API declarations (content/js/covrel.d.ts) against the built
 * program, and the reference made from both.
 *
 *   page-api.js check --api API.json [--page PAGE.ts]
 *       compares every published member (covrel --print-api) with its
 *       declaration, checks the descriptions, the documented codes and
 *       messages, the promise wrappers of covrel.js and, with --page, that the
 *       typed page uses every wrapper; and that docs/page-api.md is current.
 *   page-api.js reference --api API.json
 *       prints docs/page-api.md.
 */
'use strict';

const fs = require('fs');
const path = require('path');
const vm = require('vm');
const ts = require(path.join(__dirname, 'node_modules', 'typescript'));

const ROOT = path.resolve(__dirname, '..');
const DECLARATIONS = path.join(ROOT, 'content', 'js', 'covrel.d.ts');
const CLIENT_SCRIPT = path.join(ROOT, 'content', 'js', 'covrel.js');
const REFERENCE = path.join(ROOT, 'docs', 'page-api.md');
const REGENERATE = 'scripts/page-api';

// --- The declarations, read with the TypeScript compiler ---

function parseFile(file) {
    return ts.createSourceFile(file, fs.readFileSync(file, 'utf8'), ts.ScriptTarget.Latest, true);
}

function squash(text) {
    return text.replace(/\s+/g, ' ').trim();
}

function docOf(node) {
    const docs = ts.getJSDocCommentsAndTags(node).filter(ts.isJSDoc);
    const doc = { text: '', tags: [] };
    for (const jsDoc of docs) {
        doc.text = squash(ts.getTextOfJSDocComment(jsDoc.comment) || '');
        for (const tag of jsDoc.tags || [])
            doc.tags.push({ name: tag.tagName.text, text: squash(ts.getTextOfJSDocComment(tag.comment) || '') });
    }
    return doc;
}

function tagValues(doc, name) {
    return doc.tags.filter((tag) => tag.name === name).map((tag) => tag.text);
}

// Interfaces by their path below the namespace Covrel ("SpreedSheet.Workbook").
function collectInterfaces(source) {
    const interfaces = new Map();
    function visit(node, prefix) {
        if (ts.isModuleDeclaration(node) && node.body) {
            const name = node.name.text;
            const inner = prefix === null ? (name === 'Covrel' ? '' : null) : prefix + name + '.';
            if (inner !== null)
                ts.forEachChild(node.body, (child) => visit(child, inner));
            return;
        }
        if (prefix !== null && ts.isInterfaceDeclaration(node))
            interfaces.set(prefix + node.name.text, { node, doc: docOf(node), members: readMembers(node) });
        ts.forEachChild(node, (child) => visit(child, prefix));
    }
    visit(source, null);
    return interfaces;
}

function readMembers(node) {
    const members = [];
    for (const member of node.members) {
        const name = member.name ? member.name.getText() : '';
        if (ts.isMethodSignature(member)) {
            members.push({
                kind: 'method',
                name,
                doc: docOf(member),
                returnType: squash(member.type ? member.type.getText() : 'void'),
                parameters: member.parameters.map((p) => ({
                    name: p.name.getText(),
                    type: squash(p.type ? p.type.getText() : 'any'),
                    optional: !!p.questionToken,
                })),
            });
        } else if (ts.isPropertySignature(member)) {
            const type = member.type;
            const readonly = !!(member.modifiers || []).find((m) => m.kind === ts.SyntaxKind.ReadonlyKeyword);
            const entry = { kind: 'property', name, doc: docOf(member), type: squash(type ? type.getText() : ''), readonly,
                optional: !!member.questionToken, typeNode: type };
            if (type && ts.isTypeReferenceNode(type) && type.typeName.getText() === 'Signal') {
                const tuple = type.typeArguments && type.typeArguments[0];
                entry.kind = 'signal';
                entry.parameters = tuple && ts.isTupleTypeNode(tuple)
                    ? tuple.elements.map((element) => ts.isNamedTupleMember(element)
                        ? { name: element.name.text, type: squash(element.type.getText()) }
                        : { name: '', type: squash(element.getText()) })
                    : null;
            }
            members.push(entry);
        }
    }
    return members;
}

// --- What the program publishes, as the page sees it ---

// "SpreedSheet::Workbook" is declared as Covrel.SpreedSheet.Workbook.
function interfacePath(className) {
    return className.replace(/::/g, '.');
}

const SCALARS = {
    void: 'void',
    QString: 'string',
    bool: 'boolean',
    int: 'number',
    double: 'number',
    QStringList: 'string[]',
    QVariant: 'Variant',
    QVariantMap: 'VariantMap',
    QVariantList: 'Variant[]',
};

function pageType(cppType, objectClasses) {
    if (SCALARS[cppType])
        return SCALARS[cppType];
    const pointee = cppType.endsWith('*') ? cppType.slice(0, -1) : null;
    if (pointee && objectClasses.has(pointee))
        return interfacePath(pointee) + ' | null';
    return null;
}

function signatureText(name, parameters, returnType) {
    const list = parameters.map((p) => p.name + (p.optional ? '?' : '') + ': ' + p.type).join(', ');
    return name + '(' + list + ')' + (returnType === undefined ? '' : ': ' + returnType);
}

function publishedMembers(object, objectClasses, problems) {
    const where = object.class;
    const expected = { properties: [], methods: [], signals: [] };
    for (const property of object.properties) {
        const pointee = property.type.endsWith('*') ? property.type.slice(0, -1) : null;
        const type = pointee && objectClasses.has(pointee) ? interfacePath(pointee) : pageType(property.type, objectClasses);
        if (!type)
            problems.push(`${where}.${property.name}: the type ${property.type} has no page type`);
        expected.properties.push({ name: property.name, type, readonly: !property.writable });
    }
    for (const member of object.members) {
        const parameters = member.parameters.map((p, i) => {
            const type = pageType(p.type, objectClasses);
            if (!type)
                problems.push(`${where}.${member.name}: the argument type ${p.type} has no page type`);
            return { name: p.name, type, optional: i >= member.required };
        });
        if (member.kind === 'signal') {
            expected.signals.push({ name: member.name, parameters });
            continue;
        }
        const returnType = pageType(member.returnType, objectClasses);
        if (!returnType)
            problems.push(`${where}.${member.name}: the return type ${member.returnType} has no page type`);
        expected.methods.push({ name: member.name, kind: member.kind, parameters, returnType });
    }
    return expected;
}

// --- Check: declarations against the program ---

function compareObject(object, declared, objectClasses, problems) {
    const where = `${interfacePath(object.class)} (${object.class})`;
    const expected = publishedMembers(object, objectClasses, problems);
    const byName = new Map();
    for (const member of declared.members) {
        if (!byName.has(member.name))
            byName.set(member.name, []);
        byName.get(member.name).push(member);
    }
    const seen = new Set();

    for (const property of expected.properties) {
        seen.add(property.name);
        const found = (byName.get(property.name) || []).find((m) => m.kind === 'property');
        if (!found) {
            problems.push(`${where}: property ${property.name} is published but not declared`);
            continue;
        }
        if (found.type !== property.type)
            problems.push(`${where}.${property.name}: declared as ${found.type}, published as ${property.type}`);
        if (property.readonly && !found.readonly)
            problems.push(`${where}.${property.name}: must be declared readonly`);
    }

    for (const signal of expected.signals) {
        seen.add(signal.name);
        const found = (byName.get(signal.name) || []).find((m) => m.kind === 'signal');
        if (!found) {
            problems.push(`${where}: signal ${signal.name} is published but not declared (as Signal<[...]>)`);
            continue;
        }
        const want = signatureText(signal.name, signal.parameters);
        const have = found.parameters ? signatureText(signal.name, found.parameters) : '(not a named tuple)';
        if (want !== have)
            problems.push(`${where}: signal declared as ${have}, published as ${want}`);
    }

    const methodNames = [...new Set(expected.methods.map((m) => m.name))];
    for (const name of methodNames) {
        seen.add(name);
        const want = new Set(expected.methods.filter((m) => m.name === name)
            .map((m) => signatureText(name, m.parameters, m.returnType)));
        const declaredMethods = (byName.get(name) || []).filter((m) => m.kind === 'method');
        const have = new Set(declaredMethods.map((m) => signatureText(name, m.parameters, m.returnType)));
        for (const text of want)
            if (!have.has(text))
                problems.push(`${where}: ${text} is published but not declared`);
        for (const text of have)
            if (!want.has(text))
                problems.push(`${where}: ${text} is declared but not published`);
    }

    for (const member of declared.members)
        if (!seen.has(member.name))
            problems.push(`${where}: ${member.name} is declared but not published`);
}

// Raw interfaces: the bridges and everything in a nested namespace.
function isRawInterface(pathName) {
    return pathName.includes('.') || pathName.endsWith('Bridge');
}

function checkDeclarations(api, interfaces, problems) {
    const objectClasses = new Set(api.objects.map((o) => o.class));
    const covered = new Set();
    for (const object of api.objects) {
        const pathName = interfacePath(object.class);
        const declared = interfaces.get(pathName);
        covered.add(pathName);
        if (!declared) {
            problems.push(`${object.class} is published (${object.reachedThrough}) but Covrel.${pathName} is not declared`);
            continue;
        }
        compareObject(object, declared, objectClasses, problems);
    }
    for (const pathName of interfaces.keys())
        if (isRawInterface(pathName) && !covered.has(pathName))
            problems.push(`Covrel.${pathName} is declared but no such object is published`);
}

// --- Check: descriptions, answers, codes, wrappers ---

function readSources() {
    const texts = [];
    function walk(dir) {
        for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
            const full = path.join(dir, entry.name);
            if (entry.isDirectory())
                walk(full);
            else if (/\.(cpp|h)$/.test(entry.name))
                texts.push(fs.readFileSync(full, 'utf8'));
        }
    }
    walk(path.join(ROOT, 'src'));
    return texts.join('\n');
}

function parseError(text) {
    const match = /^(\S+)\s*(?:"([^"]*)")?\s*(.*)$/.exec(text);
    return { code: match[1], message: match[2], note: match[3] };
}

function answerTokens(text) {
    return text.replace(/\([^)]*\)/g, ' ').split(/→|\||\bfor each \w+\b/).map((t) => t.trim()).filter(Boolean);
}

function clientPaths(interfaces) {
    const paths = new Map();
    function walk(pathName, prefix) {
        for (const member of interfaces.get(pathName).members) {
            const full = prefix + member.name;
            paths.set(full, member);
            if (member.kind === 'property' && interfaces.has(member.type) && !isRawInterface(member.type))
                walk(member.type, full + '.');
        }
    }
    walk('Client', 'Covrel.');
    return paths;
}

function checkDescriptions(api, interfaces, wrappers, problems) {
    const sources = readSources();
    const quoted = (text) => sources.includes('"' + text + '"');
    for (const object of api.objects) {
        const declared = interfaces.get(interfacePath(object.class));
        if (!declared)
            continue;
        const where = interfacePath(object.class);
        if (!declared.doc.text)
            problems.push(`${where}: the interface has no description`);
        const signals = new Set(object.members.filter((m) => m.kind === 'signal').map((m) => m.name));
        const answering = new Set();
        const described = new Set();
        for (const member of declared.members) {
            // Overloads are described once, on the first.
            if (member.kind !== 'signal' && described.has(member.name))
                continue;
            if (member.kind === 'signal') {
                if (member.doc.text)
                    answering.add(member.name);
                continue;
            }
            described.add(member.name);
            const label = `${where}.${member.name}`;
            if (!member.doc.text) {
                problems.push(`${label}: no description`);
                continue;
            }
            if (member.kind === 'property')
                continue;
            const answers = tagValues(member.doc, 'answers');
            const takesHandlerId = member.parameters.length && /^handlerId$/i.test(member.parameters[0].name);
            if (takesHandlerId && !answers.length)
                problems.push(`${label}: a call with a handlerId needs @answers (or "@answers nothing")`);
            for (const line of answers)
                for (const token of answerTokens(line)) {
                    if (token === 'nothing')
                        continue;
                    if (!signals.has(token))
                        problems.push(`${label}: @answers names ${token}, which is no signal of ${where}`);
                    answering.add(token);
                }
            for (const line of tagValues(member.doc, 'error')) {
                const error = parseError(line);
                if (error.code !== '-' && !quoted(error.code))
                    problems.push(`${label}: the error code "${error.code}" is nowhere in src/`);
                if (error.message !== undefined && !quoted(error.message))
                    problems.push(`${label}: the message "${error.message}" is nowhere in src/`);
            }
            const wrapperTags = tagValues(member.doc, 'wrapper');
            if (!wrapperTags.length)
                problems.push(`${label}: no @wrapper (name one, or "none")`);
            for (const wrapper of wrapperTags)
                if (wrapper !== 'none' && !wrappers.has(wrapper))
                    problems.push(`${label}: @wrapper ${wrapper} is no member of the promise client`);
        }
        for (const signal of signals)
            if (!answering.has(signal))
                problems.push(`${where}.${signal}: no call answers with it and it has no description of its own`);
    }
}

// Codes the typed errors promise must exist where they are made.
function checkErrorCodes(interfaces, problems) {
    const sources = readSources() + fs.readFileSync(CLIENT_SCRIPT, 'utf8').replace(/'/g, '"');
    for (const [pathName, declared] of interfaces) {
        if (isRawInterface(pathName))
            continue;
        for (const member of declared.members) {
            if (member.kind !== 'property' || (member.name !== 'code' && member.name !== 'codes') || !member.typeNode)
                continue;
            const literals = [];
            (function collect(node) {
                if (ts.isLiteralTypeNode(node) && ts.isStringLiteral(node.literal))
                    literals.push(node.literal.text);
                ts.forEachChild(node, collect);
            })(member.typeNode);
            // The office engine sends most of its codes as "errorCode:" joined to the code.
            const made = (text) => sources.includes('"' + text + '"')
                || text.startsWith('errorCode:') && sources.includes('"' + text.slice('errorCode:'.length) + '"');
            for (const literal of literals)
                if (!made(literal))
                    problems.push(`Covrel.${pathName}.${member.name}: "${literal}" is made nowhere in src/ or covrel.js`);
        }
    }
}

// The wrappers covrel.js defines, read by running it against an empty window.
function runtimeWrappers() {
    const window = {};
    vm.runInNewContext(fs.readFileSync(CLIENT_SCRIPT, 'utf8'), { window, Promise, setTimeout });
    const found = new Set();
    (function walk(value, prefix) {
        for (const key of Object.keys(value)) {
            if (key.startsWith('_'))
                continue;
            found.add(prefix + key);
            if (value[key] && typeof value[key] === 'object' && !Array.isArray(value[key]))
                walk(value[key], prefix + key + '.');
        }
    })(window.Covrel, 'Covrel.');
    return found;
}

function checkWrappers(wrappers, problems) {
    for (const [name, member] of wrappers)
        if (!member.doc.text)
            problems.push(`${name}: no description`);
    const defined = runtimeWrappers();
    for (const name of defined)
        if (!wrappers.has(name))
            problems.push(`${name} is defined in covrel.js but not declared in Covrel.Client`);
    for (const name of wrappers.keys())
        if (!defined.has(name))
            problems.push(`${name} is declared in Covrel.Client but covrel.js does not define it`);
}

function checkPageUsesEveryWrapper(pageFile, wrappers, problems) {
    const used = new Set();
    (function visit(node) {
        if (ts.isPropertyAccessExpression(node) || ts.isIdentifier(node))
            used.add(squash(node.getText()));
        ts.forEachChild(node, visit);
    })(parseFile(pageFile));
    for (const name of wrappers.keys())
        if (!used.has(name))
            problems.push(`${path.relative(ROOT, pageFile)} does not use ${name}`);
}

// --- The reference ---

function code(text) {
    return '`' + text + '`';
}

function cell(text) {
    return (text || '').replace(/\|/g, '\\|');
}

const KIND_LABEL = {
    slot: 'slot: answers through signals',
    invokable: 'method: answers with its return value',
};

function describeCall(lines, object, members, declared) {
    const first = declared.find((m) => m.doc.text) || declared[0];
    const signatures = declared.map((m) => signatureText(m.name, m.parameters, m.returnType));
    lines.push(`#### ${code(members[0].name)}`, '');
    for (const text of signatures)
        lines.push('    ' + text);
    lines.push('');
    const kind = members[0].kind === 'slot' && members[0].returnType !== 'void' ? 'invokable' : members[0].kind;
    lines.push(`*${KIND_LABEL[kind]}.* ${first.doc.text}`, '');
    const answers = tagValues(first.doc, 'answers');
    if (answers.length === 1 && answers[0] === 'nothing') {
        lines.push('Answers: none.', '');
    } else if (answers.length) {
        lines.push('Answers:', '');
        for (const line of answers)
            lines.push('- ' + line.replace(/\b([A-Za-z_]\w*)\b/g, (word) =>
                object.signals.has(word) ? code(word) : word));
        lines.push('');
    }
    const errors = tagValues(first.doc, 'error').map(parseError);
    if (errors.length) {
        lines.push('| Error code | Message | When |', '|---|---|---|');
        for (const error of errors)
            lines.push(`| ${error.code === '-' ? '(none)' : code(error.code)} | ${error.message === undefined
                ? '' : code(cell(error.message))} | ${cell(error.note)} |`);
        lines.push('');
    }
    const wrappers = tagValues(first.doc, 'wrapper').filter((w) => w !== 'none');
    lines.push(`Wrapper: ${wrappers.length ? wrappers.map(code).join(', ') : 'none (call it directly)'}.`, '');
}

function describeObject(lines, object, declared, objectClasses) {
    const pathName = interfacePath(object.class);
    const published = object.reachedThrough.startsWith('__')
        ? code(object.reachedThrough)
        : `handed out by ${code(object.reachedThrough)}`;
    lines.push(`## ${code(object.class)}: ${published}`, '', `Declared as ${code('Covrel.' + pathName)}. ${declared.doc.text}`, '');
    const problems = [];
    const expected = publishedMembers(object, objectClasses, problems);
    const docs = (name, kind) => declared.members.filter((m) => m.name === name && m.kind === kind);
    if (expected.properties.length) {
        lines.push('### Properties', '', '| Property | Type | |', '|---|---|---|');
        for (const property of expected.properties) {
            const doc = docs(property.name, 'property')[0];
            lines.push(`| ${code(property.name)} | ${code(property.type)} | ${cell(doc ? doc.doc.text : '')} |`);
        }
        lines.push('');
    }
    const context = { signals: new Set(expected.signals.map((s) => s.name)) };
    const names = [...new Set(expected.methods.map((m) => m.name))];
    if (names.length) {
        lines.push('### Calls', '');
        for (const name of names)
            describeCall(lines, context, expected.methods.filter((m) => m.name === name), docs(name, 'method'));
    }
    if (expected.signals.length) {
        lines.push('### Signals', '', '| Signal | Arguments | |', '|---|---|---|');
        for (const signal of expected.signals) {
            const doc = docs(signal.name, 'signal')[0];
            const args = signal.parameters.map((p) => p.name + ': ' + p.type).join(', ');
            lines.push(`| ${code(signal.name)} | ${code(cell(args))} | ${cell(doc ? doc.doc.text : '')} |`);
        }
        lines.push('');
    }
}

function describeClient(lines, interfaces) {
    lines.push('## The promise client `Covrel` (content/js/covrel.js)', '',
        interfaces.get('Client').doc.text, '');
    const sections = [['Client', 'Covrel'], ['Registry', 'Covrel.registry'], ['Sheets', 'Covrel.sheets']];
    for (const [pathName, prefix] of sections) {
        const declared = interfaces.get(pathName);
        lines.push(`### ${code(prefix)}`, '');
        if (pathName !== 'Client')
            lines.push(declared.doc.text, '');
        lines.push('| Wrapper | |', '|---|---|');
        for (const member of declared.members) {
            if (member.kind !== 'method')
                continue;
            const text = signatureText(prefix + '.' + member.name, member.parameters, member.returnType);
            lines.push(`| ${code(cell(text))} | ${cell(member.doc.text)} |`);
        }
        lines.push('');
    }
    lines.push('### Errors', '', 'Every wrapper rejects with an `Error` carrying the error signal; these kinds narrow it:', '',
        '| Type | Members | For |', '|---|---|---|');
    for (const [pathName, declared] of interfaces) {
        if (!/Error$/.test(pathName))
            continue;
        const members = declared.members.map((m) => `${m.name}${m.optional ? '?' : ''}: ${m.type}`).join('; ');
        lines.push(`| ${code('Covrel.' + pathName)} | ${code(cell(members))} | ${cell(declared.doc.text)} |`);
    }
    lines.push('');
}

const TYPE_TABLE = [
    ['QString', 'string'], ['bool', 'boolean'], ['int, double', 'number (an int argument is rounded)'],
    ['QStringList', 'string[] (a single string passed becomes a list of one)'], ['QVariant', 'Covrel.Variant'],
    ['QVariantMap', 'Covrel.VariantMap (a plain object; null inside arrives as "")'], ['QVariantList', 'Covrel.Variant[]'],
    ['a script object pointer', 'the object\'s interface, or null'],
];

function reference(api, interfaces) {
    const objectClasses = new Set(api.objects.map((o) => o.class));
    const lines = [
        '# Page API reference', '',
        `Generated by ${code(REGENERATE)} from the built program's ${code('covrel --print-api')} and ${code('content/js/covrel.d.ts')}; do not edit it by hand. A test fails when it is out of date.`, '',
        '## Conventions', '',
        `The shell publishes one script object, ${code(api.publishedAs)}, before the page's first script runs. Its properties hold the sub-bridges; workbooks and worksheets are handed out by signals and methods. Members are of three kinds:`, '',
        '- *slots* take a `handlerId` of the page\'s choice first and answer by emitting signals whose first argument is that `handlerId`; attach the handlers (`obj.signal.connect(fn)`) before calling, since many answer before the call returns;',
        '- *methods* answer with their return value;',
        '- *signals* carry the answers; the table of each object lists their arguments.', '',
        'Failures never throw into the page: they are error signals, false or empty results. An error code is a short ASCII identifier for the page to branch on; the message is Russian text for the user or the log. Arguments left out at the end of a call take their defaults; a member can also be reached by its full signature (`obj[\'s_saveAsToStore(QString,QString,bool)\']`) to pick one overload. Every object also carries the engine\'s own `objectName`, `destroyed` and `deleteLater`, which are not part of the service.', '',
        'TypeScript declarations of all of this and of the promise client are in `content/js/covrel.d.ts`.', '',
        '| Shell type | Page type |', '|---|---|',
        ...TYPE_TABLE.map(([cpp, page]) => `| ${cpp} | ${page} |`), '',
    ];
    for (const object of api.objects) {
        const declared = interfaces.get(interfacePath(object.class));
        if (declared)
            describeObject(lines, object, declared, objectClasses);
    }
    describeClient(lines, interfaces);
    return lines.join('\n').replace(/\n{3,}/g, '\n\n').replace(/\n*$/, '\n');
}

// --- Command line ---

function main(argv) {
    const command = argv[0];
    const option = (name) => {
        const i = argv.indexOf(name);
        return i >= 0 ? argv[i + 1] : undefined;
    };
    const apiFile = option('--api');
    if (!apiFile || (command !== 'check' && command !== 'reference')) {
        process.stderr.write('usage: page-api.js check|reference --api API.json [--page PAGE.ts]\n');
        return 2;
    }
    const api = JSON.parse(fs.readFileSync(apiFile, 'utf8'));
    const interfaces = collectInterfaces(parseFile(DECLARATIONS));
    const text = reference(api, interfaces);
    if (command === 'reference') {
        process.stdout.write(text);
        return 0;
    }
    const problems = [];
    const wrappers = clientPaths(interfaces);
    checkDeclarations(api, interfaces, problems);
    checkDescriptions(api, interfaces, wrappers, problems);
    checkErrorCodes(interfaces, problems);
    checkWrappers(wrappers, problems);
    if (option('--page'))
        checkPageUsesEveryWrapper(option('--page'), wrappers, problems);
    const current = fs.existsSync(REFERENCE) ? fs.readFileSync(REFERENCE, 'utf8') : '';
    if (current !== text)
        problems.push(`docs/page-api.md is out of date: run ${REGENERATE}`);
    for (const problem of problems)
        process.stderr.write(problem + '\n');
    process.stdout.write(problems.length ? `${problems.length} problem(s)\n` : 'page API declarations and reference match the program\n');
    return problems.length ? 1 : 0;
}

process.exitCode = main(process.argv.slice(2));
