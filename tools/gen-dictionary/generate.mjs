#!/usr/bin/env node
// Writes the completion dictionary that ships in the program directory:
//
//   data/HTML/List/Tag.dat        the rows offered after "<"
//   data/HTML/List/Attribute.dat  the rows offered inside a tag without a file of its own
//   data/HTML/Tag/<name>.tag      the attribute names of one element
//
// The element and attribute names come from the npm packages html-tag-names,
// html-element-attributes, html-void-elements and html-event-attributes (versions pinned in
// package.json); what to keep, and in which order, is decided here.
//
// Usage (in this folder, after `npm install`):
//   node generate.mjs            write the files, then check them
//   node generate.mjs --check    write nothing; fail when the files on disk differ from
//                                what would be written
//
// Row order matters: the completion list selects the FIRST row that begins with what the user
// typed (letter case ignored), and the ">" key accepts the selected row. Hence two rules:
//   1. Every name comes before any longer name it begins ("<b>" before "<br>" and "<body>",
//      max before maxlength); otherwise typing "<b>" would insert "<br>".
//   2. Within that, a hand-ranked list of the names people write most, then the remaining
//      names of the current standard alphabetically, then the obsolete ones alphabetically.

import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { htmlTagNames } from 'html-tag-names';
import { htmlElementAttributes } from 'html-element-attributes';
import { htmlVoidElements } from 'html-void-elements';
import { htmlEventAttributes } from 'html-event-attributes';
import { checkDictionary, simulateFirstMatch } from './check.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const dataDir = path.resolve(here, '../../data/HTML');

// ---------------------------------------------------------------------------------------------
// Which elements

// The elements of the current HTML standard (WHATWG living standard, its index of elements).
const CURRENT = [
  'a', 'abbr', 'address', 'area', 'article', 'aside', 'audio', 'b', 'base', 'bdi', 'bdo',
  'blockquote', 'body', 'br', 'button', 'canvas', 'caption', 'cite', 'code', 'col', 'colgroup',
  'data', 'datalist', 'dd', 'del', 'details', 'dfn', 'dialog', 'div', 'dl', 'dt', 'em', 'embed',
  'fieldset', 'figcaption', 'figure', 'footer', 'form', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6',
  'head', 'header', 'hgroup', 'hr', 'html', 'i', 'iframe', 'img', 'input', 'ins', 'kbd', 'label',
  'legend', 'li', 'link', 'main', 'map', 'mark', 'math', 'menu', 'meta', 'meter', 'nav',
  'noscript', 'object', 'ol', 'optgroup', 'option', 'output', 'p', 'picture', 'pre', 'progress',
  'q', 'rp', 'rt', 'ruby', 's', 'samp', 'script', 'search', 'section', 'select', 'slot', 'small',
  'source', 'span', 'strong', 'style', 'sub', 'summary', 'sup', 'svg', 'table', 'tbody', 'td',
  'template', 'textarea', 'tfoot', 'th', 'thead', 'time', 'title', 'tr', 'track', 'u', 'ul',
  'var', 'video', 'wbr',
];

// Obsolete elements that browsers still understand and that old pages are full of.
const OBSOLETE = [
  'acronym', 'applet', 'basefont', 'bgsound', 'big', 'blink', 'center', 'dir', 'font', 'frame',
  'frameset', 'isindex', 'keygen', 'listing', 'marquee', 'menuitem', 'multicol', 'nextid',
  'nobr', 'noembed', 'noframes', 'param', 'plaintext', 'rb', 'rtc', 'spacer', 'strike', 'tt',
  'xmp',
];

// Elements without a closing row besides the void ones of html-void-elements: those that were
// empty in the HTML versions and browsers that had them, and plaintext, whose end tag the
// parser never recognizes.
const NO_CLOSING = ['isindex', 'nextid', 'spacer', 'plaintext'];

// Names in html-tag-names that are left out, with the reason.
const LEFT_OUT = {
  command: 'a draft element that no browser shipped',
  content: 'an early shadow-DOM draft, withdrawn',
  element: 'an early custom-element draft, withdrawn',
  shadow: 'an early shadow-DOM draft, withdrawn',
  image: 'an alias the parser turns into img; nobody writes it on purpose',
  rbc: 'ruby base container of XHTML ruby; no browser supports it',
};

// The names people write most, most frequent first. The first name of each letter here is
// what a typed "<" plus that letter selects (after rule 1: "<b" gives "<b>", "<i" gives "<i>").
const TAG_RANK = [
  'div', 'p', 'a', 'br', 'span', 'img', 'table', 'tr', 'td', 'th', 'ul', 'ol', 'li',
  'h1', 'h2', 'h3', 'h4', 'h5', 'h6', 'b', 'strong', 'em', 'i', 'u', 's',
  'form', 'input', 'label', 'select', 'option', 'textarea', 'button',
  'meta', 'link', 'script', 'style', 'title', 'head', 'body', 'html',
  'header', 'footer', 'nav', 'main', 'section', 'article', 'aside',
  'code', 'pre', 'blockquote', 'hr', 'iframe', 'video', 'audio', 'source',
  'figure', 'figcaption', 'small', 'sup', 'sub', 'dl', 'dt', 'dd',
  'caption', 'thead', 'tbody', 'tfoot', 'col', 'colgroup', 'ruby', 'rt', 'rp',
  'noscript', 'kbd', 'wbr', 'q', 'cite', 'abbr', 'address', 'details', 'summary',
  'canvas', 'picture', 'mark', 'time', 'del', 'ins', 'fieldset', 'legend', 'optgroup',
];

// ---------------------------------------------------------------------------------------------
// Which attributes

// Global attributes, most useful first; any other global name of html-element-attributes
// follows alphabetically.
const GLOBAL_RANK = [
  'class', 'id', 'style', 'title', 'lang', 'dir', 'hidden', 'tabindex', 'accesskey',
  'translate', 'contenteditable', 'draggable', 'spellcheck', 'autofocus', 'inert', 'inputmode',
  'enterkeyhint', 'autocapitalize', 'autocorrect', 'popover', 'nonce', 'is', 'slot', 'part',
  'exportparts', 'itemscope', 'itemtype', 'itemprop', 'itemid', 'itemref',
];

// The event handlers that are worth offering everywhere, most useful first. Handlers that
// belong to one kind of element (window events on body, media events) are listed with it.
const COMMON_EVENTS = [
  'onclick', 'onload', 'onchange', 'onsubmit', 'oninput', 'onmouseover', 'onmouseout',
  'onmousedown', 'onmouseup', 'onmousemove', 'onmouseenter', 'onmouseleave', 'ondblclick',
  'oncontextmenu', 'onkeydown', 'onkeyup', 'onkeypress', 'onfocus', 'onblur', 'onselect',
  'onreset', 'oninvalid', 'onerror', 'onscroll', 'onresize', 'onwheel', 'ondrag',
  'ondragstart', 'ondragend', 'ondragenter', 'ondragleave', 'ondragover', 'ondrop', 'oncopy',
  'oncut', 'onpaste', 'ontoggle',
];

// Attributes an element's own list starts with, most useful first; its other attributes from
// html-element-attributes follow alphabetically.
const ATTRIBUTE_RANK = {
  a: ['href', 'target', 'rel', 'name', 'download', 'type', 'hreflang'],
  area: ['shape', 'coords', 'href', 'alt', 'target'],
  audio: ['src', 'controls', 'autoplay', 'loop', 'muted', 'preload'],
  body: ['bgcolor', 'text', 'link', 'vlink', 'alink', 'background'],
  button: ['type', 'name', 'value', 'disabled'],
  embed: ['src', 'width', 'height', 'type'],
  font: ['size', 'color', 'face'],
  form: ['action', 'method', 'enctype', 'name', 'target', 'accept-charset', 'autocomplete'],
  frame: ['src', 'name', 'scrolling', 'noresize', 'frameborder'],
  frameset: ['cols', 'rows'],
  hr: ['size', 'width', 'align', 'noshade'],
  iframe: ['src', 'width', 'height', 'name', 'frameborder', 'allow', 'allowfullscreen', 'loading'],
  img: ['src', 'alt', 'width', 'height', 'srcset', 'sizes', 'loading', 'border', 'align'],
  input: ['type', 'name', 'value', 'size', 'maxlength', 'placeholder', 'checked', 'required',
    'disabled', 'readonly', 'min', 'max', 'step', 'pattern', 'autocomplete', 'multiple', 'accept'],
  label: ['for'],
  li: ['value', 'type'],
  link: ['rel', 'href', 'type', 'media', 'sizes', 'hreflang', 'crossorigin'],
  meta: ['name', 'content', 'charset', 'http-equiv'],
  object: ['data', 'type', 'width', 'height', 'name'],
  ol: ['type', 'start', 'reversed'],
  option: ['value', 'selected', 'label', 'disabled'],
  script: ['src', 'type', 'async', 'defer', 'charset', 'crossorigin', 'integrity'],
  select: ['name', 'size', 'multiple', 'disabled', 'required'],
  source: ['src', 'srcset', 'type', 'media', 'sizes'],
  style: ['type', 'media'],
  table: ['border', 'width', 'cellpadding', 'cellspacing', 'align', 'bgcolor', 'summary'],
  td: ['colspan', 'rowspan', 'width', 'height', 'align', 'valign', 'bgcolor', 'nowrap'],
  textarea: ['name', 'rows', 'cols', 'placeholder', 'maxlength', 'readonly', 'disabled', 'wrap'],
  th: ['colspan', 'rowspan', 'scope', 'width', 'height', 'align', 'valign', 'bgcolor', 'nowrap'],
  tr: ['align', 'valign', 'bgcolor'],
  track: ['kind', 'src', 'srclang', 'label', 'default'],
  ul: ['type'],
  video: ['src', 'controls', 'width', 'height', 'poster', 'autoplay', 'loop', 'muted',
    'playsinline', 'preload'],
};

const MEDIA_EVENTS = ['onplay', 'onpause', 'onended', 'ontimeupdate', 'onloadedmetadata',
  'oncanplay', 'onvolumechange'];

// Attributes the packages do not list: those of obsolete and browser-specific elements and the
// browser-specific attributes old pages use, element-specific event handlers, and the few
// attributes an inline svg or math element needs. Appended after the element's other ones.
const EXTRA_ATTRIBUTES = {
  audio: MEDIA_EVENTS,
  bgsound: ['src', 'loop', 'volume', 'balance'],
  body: ['leftmargin', 'topmargin', 'marginwidth', 'marginheight', 'onunload',
    'onbeforeunload', 'onhashchange', 'onpageshow', 'onpagehide', 'onpopstate',
    'onbeforeprint', 'onafterprint', 'onmessage', 'onoffline', 'ononline', 'onstorage'],
  dialog: ['onclose', 'oncancel'],
  embed: ['autostart', 'loop', 'hidden', 'pluginspage', 'name', 'align', 'hspace', 'vspace'],
  frameset: ['border', 'bordercolor', 'frameborder', 'framespacing', 'onunload'],
  keygen: ['name', 'challenge', 'keytype', 'disabled', 'form'],
  marquee: ['behavior', 'direction', 'scrollamount', 'scrolldelay', 'loop', 'width', 'height',
    'bgcolor', 'hspace', 'vspace', 'truespeed'],
  math: ['display', 'xmlns'],
  menuitem: ['type', 'label', 'icon', 'checked', 'disabled', 'default', 'radiogroup'],
  multicol: ['cols', 'gutter', 'width'],
  spacer: ['type', 'size', 'width', 'height', 'align'],
  // viewBox keeps the spelling of SVG; the HTML parser would accept it in any case.
  svg: ['width', 'height', 'viewBox', 'xmlns'],
  table: ['background', 'bordercolor'],
  td: ['background'],
  th: ['background'],
  video: MEDIA_EVENTS,
};

// ---------------------------------------------------------------------------------------------
// Ordering

// Puts every name in front of the longer names it begins, keeping the given order otherwise.
function prefixesFirst(names) {
  const pending = new Set(names);
  const out = [];
  for (const name of names) {
    if (!pending.has(name)) continue;
    const shorter = names
      .filter((n) => pending.has(n) && n !== name && name.toLowerCase().startsWith(n.toLowerCase()))
      .sort((x, y) => x.length - y.length);
    for (const n of [...shorter, name]) {
      out.push(n);
      pending.delete(n);
    }
  }
  return out;
}

function uniq(list) {
  return [...new Set(list)];
}

function alphabetical(list) {
  return [...list].sort((x, y) => (x < y ? -1 : x > y ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------
// Building

function fail(message) {
  console.error(`generate: ${message}`);
  process.exit(1);
}

function buildDictionary() {
  // Every name of the package must be placed somewhere, so that a new package version that
  // adds an element fails here instead of being silently dropped or added.
  const known = new Set([...CURRENT, ...OBSOLETE, ...Object.keys(LEFT_OUT)]);
  for (const name of htmlTagNames) {
    if (!known.has(name)) fail(`html-tag-names lists "${name}": add it to CURRENT, OBSOLETE or LEFT_OUT`);
  }
  for (const name of [...CURRENT, ...OBSOLETE]) {
    if (!htmlTagNames.includes(name)) fail(`"${name}" is not in html-tag-names`);
  }
  for (const name of TAG_RANK) {
    if (!CURRENT.includes(name)) fail(`TAG_RANK names "${name}", which is not a current element`);
  }
  const events = new Set(htmlEventAttributes);
  const allNamed = [...COMMON_EVENTS, ...Object.values(EXTRA_ATTRIBUTES).flat()];
  for (const name of allNamed.filter((n) => n.startsWith('on'))) {
    if (!events.has(name)) fail(`"${name}" is not in html-event-attributes`);
  }

  const current = uniq([...TAG_RANK, ...alphabetical(CURRENT.filter((n) => !TAG_RANK.includes(n)))]);
  const elements = prefixesFirst([...current, ...alphabetical(OBSOLETE)]);
  const unclosed = new Set([...htmlVoidElements, ...NO_CLOSING]);

  const tagRows = [
    ...elements.map((n) => `<${n}>`),
    // The document type declaration heads every page; it is not an element, so it has no
    // attribute file and no closing row.
    '<!DOCTYPE html>',
    ...elements.filter((n) => !unclosed.has(n)).map((n) => `</${n}>`),
  ];

  const packageGlobals = htmlElementAttributes['*'];
  for (const name of GLOBAL_RANK) {
    if (!packageGlobals.includes(name)) fail(`GLOBAL_RANK names "${name}", not a global attribute`);
  }
  const globals = [
    ...prefixesFirst(uniq([...GLOBAL_RANK, ...alphabetical(packageGlobals)])),
    ...prefixesFirst(COMMON_EVENTS),
  ];

  const tagFiles = new Map();
  for (const element of elements) {
    const fromPackage = htmlElementAttributes[element] ?? [];
    const ranked = ATTRIBUTE_RANK[element] ?? [];
    for (const name of ranked) {
      if (!fromPackage.includes(name) && !(EXTRA_ATTRIBUTES[element] ?? []).includes(name)) {
        fail(`ATTRIBUTE_RANK.${element} names "${name}", which ${element} does not have`);
      }
    }
    const own = prefixesFirst(uniq([
      ...ranked,
      ...alphabetical(fromPackage),
      ...(EXTRA_ATTRIBUTES[element] ?? []),
    ]));
    // A general name that begins one of the element's own names moves up in front of it
    // (class before classid on object), so that typing it with a space still selects it.
    tagFiles.set(element, prefixesFirst([...own, ...globals.filter((g) => !own.includes(g))]));
  }
  for (const element of Object.keys({ ...ATTRIBUTE_RANK, ...EXTRA_ATTRIBUTES })) {
    if (!tagFiles.has(element)) fail(`attributes given for "${element}", which is not listed`);
  }

  return { elements, unclosed, tagRows, globals, tagFiles };
}

// ---------------------------------------------------------------------------------------------
// File contents: Shift-JIS (all ASCII here), CR LF line ends. The two lists have no line end
// after their last row, since the program would read one as a final empty row; the profile
// files end with one like any text file.

const CRLF = '\r\n';

function listText(rows) {
  return rows.join(CRLF);
}

function tagFileText(names) {
  return ['[Attribute]', `Attributes=${names.length}`, ...names.map((n, i) => `${i + 1}=${n}`)]
    .join(CRLF) + CRLF;
}

function encode(text, what) {
  // ASCII is valid Shift-JIS as it stands. Backslash and tilde are excluded as well: in the
  // Japanese fonts they show as a yen sign and an overline.
  if (!/^[\x20-\x5b\x5d-\x7d\r\n]*$/.test(text)) fail(`${what}: a character outside plain ASCII`);
  return Buffer.from(text, 'latin1');
}

function plannedFiles(dict) {
  const files = new Map();
  files.set('List/Tag.dat', encode(listText(dict.tagRows), 'Tag.dat'));
  files.set('List/Attribute.dat',
    encode(listText(dict.globals.map((n) => `${n}=""`)), 'Attribute.dat'));
  for (const [element, names] of dict.tagFiles) {
    files.set(`Tag/${element}.tag`, encode(tagFileText(names), `${element}.tag`));
  }
  return files;
}

// Checks that need the package data, on top of those of check.mjs.
function selfCheck(dict) {
  const problems = [];
  const closing = new Set(dict.tagRows.filter((r) => r.startsWith('</')).map((r) => r.slice(2, -1)));
  for (const element of dict.elements) {
    if (dict.unclosed.has(element) && closing.has(element)) problems.push(`${element} has a closing row`);
    if (!dict.unclosed.has(element) && !closing.has(element)) problems.push(`${element} has no closing row`);
  }
  for (const name of [...CURRENT, ...OBSOLETE]) {
    if (!dict.tagRows.includes(`<${name}>`)) problems.push(`${name} is missing from Tag.dat`);
  }
  // What each letter selects, for the record.
  const letters = 'abcdefghijklmnopqrstuvwxyz'.split('');
  const picks = letters
    .map((c) => [c, simulateFirstMatch(dict.tagRows, `<${c}`)])
    .filter(([, row]) => row !== undefined)
    .map(([c, row]) => `<${c}→${row}`);
  return { problems, picks };
}

// ---------------------------------------------------------------------------------------------

function main() {
  const checkOnly = process.argv.includes('--check');
  const dict = buildDictionary();
  const files = plannedFiles(dict);
  const { problems, picks } = selfCheck(dict);
  if (problems.length) fail(problems.join('\n'));

  const tagDir = path.join(dataDir, 'Tag');
  const existingTags = fs.existsSync(tagDir) ? fs.readdirSync(tagDir).filter((f) => f.endsWith('.tag')) : [];
  const unknownTags = existingTags.filter((f) => !files.has(`Tag/${f}`));

  if (checkOnly) {
    const differing = [...files].filter(([rel, bytes]) => {
      const file = path.join(dataDir, rel);
      return !fs.existsSync(file) || !fs.readFileSync(file).equals(bytes);
    }).map(([rel]) => rel);
    if (differing.length) fail(`out of date (run node generate.mjs): ${differing.join(', ')}`);
  } else {
    for (const [rel, bytes] of files) {
      const file = path.join(dataDir, rel);
      fs.mkdirSync(path.dirname(file), { recursive: true });
      fs.writeFileSync(file, bytes);
    }
    for (const dir of ['List', 'Tag']) {
      const keep = path.join(dataDir, dir, '.keep');
      if (fs.existsSync(keep)) fs.unlinkSync(keep);
    }
    console.log(`wrote ${files.size} files below ${path.relative(process.cwd(), dataDir) || '.'}`);
  }
  for (const f of unknownTags) console.log(`note: Tag/${f} is not generated; left as it is`);

  const report = checkDictionary(dataDir);
  const found = [...report.errors, ...report.notes];
  if (found.length) fail(`check failed:\n${found.join('\n')}`);
  console.log(`${report.summary}`);
  console.log(`first rows per letter: ${picks.join('  ')}`);
}

main();
