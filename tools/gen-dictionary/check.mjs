#!/usr/bin/env node
// Checks the completion dictionary in data/HTML as the program will read it. Needs no npm
// packages, so it also serves after a hand edit:
//
//   node tools/gen-dictionary/check.mjs [data/HTML]
//
// Exits 1 and lists the problems when there are any. A departure from the generator's own
// conventions that the program does not mind (a .tag file without the general attributes at its
// end) is only noted.

import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const CRLF = '\r\n';

// The row the completion list selects for a typed word: the first row that begins with it,
// letter case ignored.
export function simulateFirstMatch(rows, typed) {
  const t = typed.toLowerCase();
  return rows.find((r) => r.length >= t.length && r.slice(0, t.length).toLowerCase() === t);
}

// Problems of a file's line ends and bytes; returns its lines when they are sound.
function readLines(file, errors, { finalLineEnd }) {
  const name = path.basename(file);
  const bytes = fs.readFileSync(file);
  for (const b of bytes) {
    if (b >= 0x80 || (b < 0x20 && b !== 0x0d && b !== 0x0a) || b === 0x5c || b === 0x7e) {
      errors.push(`${name}: a byte outside plain ASCII (0x${b.toString(16)})`);
      return null;
    }
  }
  const text = bytes.toString('latin1');
  if (/\r(?!\n)|(?<!\r)\n/.test(text)) {
    errors.push(`${name}: a line end other than CR LF`);
    return null;
  }
  const lines = text.split(CRLF);
  if (text.endsWith(CRLF) !== finalLineEnd) {
    errors.push(finalLineEnd
      ? `${name}: the last line has no CR LF`
      : `${name}: ends with CR LF, which the program reads as a final empty row`);
  }
  if (text.endsWith(CRLF)) lines.pop();
  return lines;
}

function checkRows(rows, file, errors) {
  const seen = new Set();
  rows.forEach((row, i) => {
    if (row === '') errors.push(`${file}: row ${i + 1} is empty`);
    if (row !== row.trim()) errors.push(`${file}: row ${i + 1} has spaces at an end`);
    if (seen.has(row)) errors.push(`${file}: row ${i + 1} repeats "${row}"`);
    seen.add(row);
  });
}

// A row must be what its own full name selects, or typing that name and ">" (or a space)
// would insert another row.
function checkReachable(rows, key, file, errors) {
  for (const row of rows) {
    const picked = simulateFirstMatch(rows, key(row));
    if (picked !== row) errors.push(`${file}: typing "${key(row)}" selects "${picked}" before "${row}"`);
  }
}

function readTagFile(file, errors) {
  const name = path.basename(file);
  const lines = readLines(file, errors, { finalLineEnd: true });
  if (!lines) return null;
  if (lines[0] !== '[Attribute]') {
    errors.push(`${name}: does not begin with [Attribute]`);
    return null;
  }
  const m = /^Attributes=(\d+)$/.exec(lines[1] ?? '');
  if (!m) {
    errors.push(`${name}: second line is not Attributes=<number>`);
    return null;
  }
  const n = Number(m[1]);
  const names = [];
  for (let k = 1; k <= n; k++) {
    const line = lines[k + 1];
    const prefix = `${k}=`;
    if (line === undefined || !line.startsWith(prefix)) {
      errors.push(`${name}: Attributes=${n} but key ${k} is not on line ${k + 2}`);
      return null;
    }
    names.push(line.slice(prefix.length));
  }
  if (lines.length !== n + 2) errors.push(`${name}: ${lines.length - n - 2} lines after key ${n}`);
  names.forEach((a, i) => {
    if (!/^[A-Za-z][A-Za-z0-9-]*$/.test(a)) errors.push(`${name}: key ${i + 1} "${a}" is no attribute name`);
  });
  if (new Set(names).size !== names.length) errors.push(`${name}: an attribute name repeats`);
  return names;
}

export function checkDictionary(dataDir) {
  const errors = [];
  const notes = [];
  const tagDat = path.join(dataDir, 'List', 'Tag.dat');
  const attrDat = path.join(dataDir, 'List', 'Attribute.dat');
  const tagDir = path.join(dataDir, 'Tag');
  for (const f of [tagDat, attrDat, tagDir]) {
    if (!fs.existsSync(f)) errors.push(`${f} is missing`);
  }
  if (errors.length) return { errors, notes, summary: '' };

  // Tag.dat: opening rows, then closing rows.
  const tagRows = readLines(tagDat, errors, { finalLineEnd: false }) ?? [];
  checkRows(tagRows, 'Tag.dat', errors);
  const opening = [];
  const closing = [];
  tagRows.forEach((row, i) => {
    let m;
    if ((m = /^<([a-z][a-z0-9-]*)>$/.exec(row))) {
      if (closing.length) errors.push(`Tag.dat: opening row "${row}" after the closing rows`);
      opening.push(m[1]);
    } else if ((m = /^<\/([a-z][a-z0-9-]*)>$/.exec(row))) {
      closing.push(m[1]);
    } else if (!/^<![A-Za-z][^<>]*>$/.test(row)) {
      errors.push(`Tag.dat: row ${i + 1} "${row}" is not "<name>", "</name>" or "<!...>"`);
    }
  });
  for (const name of closing) {
    if (!opening.includes(name)) errors.push(`Tag.dat: "</${name}>" without "<${name}>"`);
  }
  checkReachable(tagRows, (row) => row.slice(0, -1), 'Tag.dat', errors);

  // Attribute.dat: name="" rows.
  const attrRows = readLines(attrDat, errors, { finalLineEnd: false }) ?? [];
  checkRows(attrRows, 'Attribute.dat', errors);
  attrRows.forEach((row, i) => {
    if (!/^[a-z][a-z0-9-]*=""$/.test(row)) errors.push(`Attribute.dat: row ${i + 1} "${row}" is not name=""`);
  });
  checkReachable(attrRows, (row) => row.slice(0, -3), 'Attribute.dat', errors);
  const globals = attrRows.map((r) => r.slice(0, -3));

  // One .tag file per element: its own attributes, then the general ones in their order.
  const tagFiles = fs.readdirSync(tagDir).filter((f) => f.endsWith('.tag'));
  for (const name of opening) {
    if (!tagFiles.includes(`${name}.tag`)) errors.push(`Tag/${name}.tag is missing`);
  }
  let names = 0;
  for (const f of tagFiles) {
    const element = f.slice(0, -4);
    if (element !== element.toLowerCase()) errors.push(`Tag/${f}: file name not in lower case`);
    if (!opening.includes(element)) notes.push(`Tag/${f}: no "<${element}>" row in Tag.dat`);
    const list = readTagFile(path.join(tagDir, f), errors);
    if (!list) continue;
    names += list.length;
    let split = -1;
    for (let k = 0; k <= list.length && split < 0; k++) {
      const own = list.slice(0, k);
      const rest = globals.filter((g) => !own.includes(g));
      if (rest.length === list.length - k && rest.every((g, i) => list[k + i] === g)) split = k;
    }
    if (split < 0) notes.push(`Tag/${f}: does not end with the attributes of Attribute.dat in their order`);
    checkReachable(list.map((a) => `${a}=""`), (row) => row.slice(0, -3), `Tag/${f}`, errors);
  }

  const summary = `checked: Tag.dat ${tagRows.length} rows (${opening.length} opening, `
    + `${closing.length} closing), Attribute.dat ${attrRows.length} rows, `
    + `${tagFiles.length} .tag files with ${names} names`;
  return { errors, notes, summary };
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const here = path.dirname(fileURLToPath(import.meta.url));
  const dataDir = path.resolve(process.argv[2] ?? path.join(here, '../../data/HTML'));
  const { errors, notes, summary } = checkDictionary(dataDir);
  for (const note of notes) console.log(`note: ${note}`);
  if (errors.length) {
    console.error(errors.join('\n'));
    process.exit(1);
  }
  console.log(summary);
}
