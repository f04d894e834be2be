// Makes the page's words at build time: the list in src/web/page_words.h,
// each text in Russian as its source and in English as the window's
// translation file has it. A text named as the window's must still be one
// the window's sources use, so that the two cannot drift apart.
//   pageWords(root) -> JavaScript that defines WORDS = {ru: {...}, en: {...}}
import {readFileSync, readdirSync} from 'node:fs';
import {join} from 'node:path';

const PAGE_CONTEXT = 'Page';

const unescapeCpp = (text) => text.replace(/\\(.)/g, '$1');
const unescapeXml = (text) => text.replace(/&(quot|apos|lt|gt|amp);/g,
  (_, name) => ({quot: '"', apos: "'", lt: '<', gt: '>', amp: '&'})[name]);

function translations(tsFile) {
  const found = new Map();
  const ts = readFileSync(tsFile, 'utf8');
  for (const [, context] of ts.matchAll(/<context>([\s\S]*?)<\/context>/g)) {
    const name = unescapeXml(context.match(/<name>([^<]*)<\/name>/)[1]);
    for (const [, source, type, translation] of context.matchAll(
      /<source>([^<]*)<\/source>\s*<translation(?: type="([a-z]+)")?>([^<]*)<\/translation>/g)) {
      if (!type) found.set(name + '\u0000' + unescapeXml(source), unescapeXml(translation));
    }
  }
  return found;
}

export function pageWords(root) {
  const list = readFileSync(join(root, 'src/web/page_words.h'), 'utf8');
  const english = translations(join(root, 'src/app/translations/vuzuduzi-2_en.ts'));
  const appFolder = join(root, 'src/app');
  const windowSources = readdirSync(appFolder).filter((name) => name.endsWith('.cpp'))
    .map((name) => readFileSync(join(appFolder, name), 'utf8')).join('\n');
  const words = {ru: {lang: 'ru'}, en: {lang: 'en'}};
  const string = '"((?:[^"\\\\]|\\\\.)*)"';
  const entry = new RegExp(`^VZ_PAGE_WORD\\((\\w+), QT_TRANSLATE_NOOP\\(${string}, ${string}\\)(?:, ${string})?\\)$`);
  for (const line of list.split('\n').filter((line) => line.startsWith('VZ_PAGE_WORD('))) {
    const match = line.match(entry);
    if (!match) throw new Error(`page_words.h: cannot read: ${line}`);
    const [, name, context, quoted, suffix = ''] = match;
    const source = unescapeCpp(quoted);
    if (context !== PAGE_CONTEXT && !windowSources.includes(`"${quoted}"`))
      throw new Error(`page_words.h: ${name} names a text the window no longer has: ${source}`);
    const translation = english.get(context + '\u0000' + source);
    if (translation === undefined) throw new Error(`page_words.h: ${name} has no finished English entry`);
    words.ru[name] = source + unescapeCpp(suffix);
    words.en[name] = translation + unescapeCpp(suffix);
  }
  return 'const WORDS = ' + JSON.stringify(words) + ';';
}
