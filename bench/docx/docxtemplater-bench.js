// Fills template-tags.docx with docxtemplater N times; prints the mean time per
// document in ms (read, render, zip, write), after warm-up runs.
//   node docxtemplater-bench.js WORKDIR N
'use strict';
const fs = require('fs');
const path = require('path');
const PizZip = require('pizzip');
const Docxtemplater = require('docxtemplater');

const workDir = process.argv[2];
const count = parseInt(process.argv[3] || '100', 10);
const values = JSON.parse(fs.readFileSync(path.join(workDir, 'values.json'), 'utf8')).tagValues;
const templatePath = path.join(workDir, 'template-tags.docx');
const outputPath = path.join(workDir, 'docxtemplater-out.docx');

function fillOnce() {
    const zip = new PizZip(fs.readFileSync(templatePath));
    const doc = new Docxtemplater(zip, { paragraphLoop: true, linebreaks: true });
    doc.render(values);
    fs.writeFileSync(outputPath, doc.getZip().generate({ type: 'nodebuffer', compression: 'DEFLATE' }));
}

for (let i = 0; i < 10; ++i)
    fillOnce();
const start = process.hrtime.bigint();
for (let i = 0; i < count; ++i)
    fillOnce();
const elapsedMs = Number(process.hrtime.bigint() - start) / 1e6;
console.log((elapsedMs / count).toFixed(2));
