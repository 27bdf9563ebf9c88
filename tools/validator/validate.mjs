// Runs the Khronos glTF validator over .gltf and .glb files: prints each
// file's errors and warnings, then a summary of the warning codes. Exit
// status 1 when any file has an error (or cannot be read), else 0.
//
// External resources are loaded from beside the file. maxase convert refers
// to bitmaps by name without copying them, so a bitmap that is not there is
// listed as missing (the validator's IO_ERROR at an image's URI) and is not
// counted as an error of the file; every other error is.
import { readFile } from 'node:fs/promises';
import { dirname, resolve } from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const validator = require('gltf-validator');

const files = process.argv.slice(2);
if (files.length === 0) {
    console.error('usage: node validate.mjs FILE.gltf|FILE.glb...');
    process.exit(2);
}

const isMissingBitmap = (m) => m.code === 'IO_ERROR' && /^\/images\/\d+\/uri$/.test(m.pointer ?? '');
const warningCodes = new Map();
let errors = 0;
let warnings = 0;
let missingBitmaps = 0;
for (const file of files) {
    let report;
    try {
        const bytes = new Uint8Array(await readFile(file));
        report = await validator.validateBytes(bytes, {
            uri: file,
            maxIssues: 0,
            writeTimestamp: false,
            externalResourceFunction: (uri) => readFile(resolve(dirname(file), decodeURIComponent(uri))).then(
                (data) => new Uint8Array(data), (e) => Promise.reject(e.message)),
        });
    } catch (e) {
        console.log(`${file}: cannot be validated: ${e}`);
        ++errors;
        continue;
    }
    let fileErrors = 0;
    let fileMissing = 0;
    const lines = [];
    for (const m of report.issues.messages) {
        if (m.severity === 0 && isMissingBitmap(m)) {
            ++fileMissing;
            lines.push(`  missing bitmap ${m.pointer}: ${m.message}`);
        } else if (m.severity === 0) {
            ++fileErrors;
            lines.push(`  ERROR ${m.code} ${m.pointer ?? ''}: ${m.message}`);
        } else if (m.severity === 1) {
            ++warnings;
            warningCodes.set(m.code, (warningCodes.get(m.code) ?? 0) + 1);
            lines.push(`  warning ${m.code} ${m.pointer ?? ''}: ${m.message}`);
        }
    }
    errors += fileErrors;
    missingBitmaps += fileMissing;
    console.log(`${file}: ${fileErrors} errors, ${report.issues.numWarnings} warnings, ` +
                `${report.issues.numInfos} infos, ${fileMissing} missing bitmaps`);
    for (const line of lines) console.log(line);
}
console.log(`validator ${validator.version()}: ${files.length} files, ${errors} errors, ${warnings} warnings, ` +
            `${missingBitmaps} missing bitmaps`);
for (const [code, count] of warningCodes) console.log(`  warning ${code}: ${count}`);
process.exit(errors > 0 ? 1 : 0);
