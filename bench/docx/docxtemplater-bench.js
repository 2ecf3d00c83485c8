// Fills template-tags.docx with docxtemplater (read, render, zip, write), one
// document per line read from standard input, answering each with its time
// in ms, so bench-docx can take turns with it under the same machine load.
//   node docxtemplater-bench.js WORKDIR
'use strict';
const fs = require('fs');
const path = require('path');
const readline = require('readline');
const PizZip = require('pizzip');
const Docxtemplater = require('docxtemplater');

const workDir = process.argv[2];
const values = JSON.parse(fs.readFileSync(path.join(workDir, 'values.json'), 'utf8')).tagValues;
const templatePath = path.join(workDir, 'template-tags.docx');
const outputPath = path.join(workDir, 'docxtemplater-out.docx');

function fillOnce() {
    const zip = new PizZip(fs.readFileSync(templatePath));
    const doc = new Docxtemplater(zip, { paragraphLoop: true, linebreaks: true });
    doc.render(values);
    fs.writeFileSync(outputPath, doc.getZip().generate({ type: 'nodebuffer', compression: 'DEFLATE' }));
}

readline.createInterface({ input: process.stdin }).on('line', () => {
    const start = process.hrtime.bigint();
    fillOnce();
    console.log((Number(process.hrtime.bigint() - start) / 1e6).toFixed(3));
});
