// Screenshots of the built page in headless Chromium, before and after a run:
//   node tools/web-screenshot.mjs OUT_PREFIX [LANGUAGE] [QUERY]
// writes OUT_PREFIX-before.png, OUT_PREFIX-during.png and OUT_PREFIX-after.png.
import {launchBrowser, openPage} from '../tests/web/browser.mjs';

const [prefix, language = 'ru-RU', query = '?frames=24&size=240&pattern=6152-320'] = process.argv.slice(2);
const browser = await launchBrowser();
try {
  const page = await openPage(browser, query, language);
  await page.setViewport({width: 820, height: 700});
  await page.screenshot({path: prefix + '-before.png'});
  await page.focus('#start');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => Number(document.querySelector('#percent').textContent.split(' ')[0]) >= 40);
  await page.screenshot({path: prefix + '-during.png'});
  await page.waitForSelector('a[download]', {timeout: 120000});
  await page.waitForFunction(() => document.querySelector('#animation').complete);
  await page.screenshot({path: prefix + '-after.png', fullPage: true});
} finally {
  await browser.close();
}
