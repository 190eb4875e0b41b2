// The web viewer in headless Chromium, used as a person uses it: the demo game's files are
// chosen through the page's own file inputs, keys are pressed on the canvas, and every
// picture is compared pixel for pixel with what `duzuroro-cli screen` makes for the same step.
//
// Environment: DUZURORO_WEB_DIR (the built page), DUZURORO_CLI (the command-line tool),
// DUZURORO_START_PICTURE (the program that writes the start picture as a PPM) and
// DUZURORO_BROWSER_WORK (a folder for the games, pictures and screenshots).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdirSync, readFileSync, rmSync } from 'node:fs';
import { basename, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';
import { kWaitMs, launchChromium, serveFolder, watchPage } from './harness.mjs';

const webDir = process.env.DUZURORO_WEB_DIR;
const cli = process.env.DUZURORO_CLI;
const startPictureTool = process.env.DUZURORO_START_PICTURE;
const work = process.env.DUZURORO_BROWSER_WORK;
assert.ok(webDir && cli && startPictureTool && work, 'the four DUZURORO_ variables must be set');

const kTestMs = 120000;
const demo = join(work, 'games', 'demo');
const broken = join(work, 'games', 'broken');
const demoFiles = ['DEMO.LA0', 'DEMO.LA1', 'DEMO.LA2'].map((name) => join(demo, name));

// What the desktop's end-to-end tests use too: the table of steps and the broken game.
const kShared = fileURLToPath(new URL('../e2e/', import.meta.url));
const kSharedSteps = join(kShared, 'steps.txt');
// The table's X keysym names as puppeteer presses them on a browser's keyboard; the main
// keyboard's plus is a shifted equals sign.
const kKeysyms = {
  Left: ['ArrowLeft'], Right: ['ArrowRight'], Up: ['ArrowUp'], Down: ['ArrowDown'],
  KP_Add: ['NumpadAdd'], KP_Subtract: ['NumpadSubtract'],
  plus: ['Shift', 'Equal'], equal: ['Equal'], minus: ['Minus'], F10: ['F10'], Escape: ['Escape'],
};

// Each row of the table: the keys to press, then the costume, frame and zoom to see.
function readSteps(file) {
  const steps = [];
  for (const line of readFileSync(file, 'utf8').split('\n')) {
    const fields = line.replace(/#.*/, '').trim().split(/\s+/);
    if (fields[0] === '') continue;
    assert.equal(fields.length, 4, `${file}: not "keys costume frame zoom": ${line}`);
    const keys = fields[0].split(',').map((keysym) => {
      assert.ok(kKeysyms[keysym], `${file}: no browser key for the keysym ${keysym}`);
      return kKeysyms[keysym];
    });
    steps.push({ line, keys, costume: Number(fields[1]), frame: Number(fields[2]), zoom: fields[3] === 'on' });
  }
  return steps;
}

// Red, green and blue bytes of a picture file, top row first.
function rawRgb(file) {
  return execFileSync('convert', [file, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 24 });
}

const cliPictures = new Map();
function cliPicture({ costume, frame, zoom }, index = join(demo, 'DEMO.LA0')) {
  const name = `expected-${costume}-${frame}${zoom ? '-zoom' : ''}.png`;
  if (!cliPictures.has(name)) {
    const out = join(work, name);
    const args = ['screen', index, '--costume', String(costume), '--frame', String(frame)];
    execFileSync(cli, [...args, ...(zoom ? ['--zoom'] : []), '--out', out]);
    cliPictures.set(name, rawRgb(out));
  }
  return cliPictures.get(name);
}

let chromium;
let server;
let startPicture;
let brokenMessage;

before(async () => {
  // Only its own folders: the other browser tests share the work folder.
  for (const folder of ['games', 'copy']) rmSync(join(work, folder), { recursive: true, force: true });
  mkdirSync(broken, { recursive: true });
  execFileSync(cli, ['make-demo', demo]);
  cpSync(join(kShared, 'BROKEN.LA0'), join(broken, 'BROKEN.LA0'));
  const info = (() => {
    try {
      execFileSync(cli, ['info', join(broken, 'BROKEN.LA0')], { stdio: 'pipe' });
    } catch (failure) {
      return failure.stderr.toString();
    }
    return '';
  })();
  // The tool names what a message is about after it, in brackets; the dialog says the message.
  brokenMessage = info.match(/^Error: (.*?)(?: \[[^\]]*\])?$/m)?.[1];
  assert.ok(brokenMessage, `duzuroro-cli gave no message for the broken game: ${info}`);
  execFileSync(startPictureTool, [join(work, 'start.ppm')]);
  startPicture = rawRgb(join(work, 'start.ppm'));
  chromium = await launchChromium();
  server = await serveFolder(webDir);
});

after(async () => {
  await chromium?.close();
  await server?.close();
});

// A fresh page with the viewer started; `faults` collects its console errors.
async function openViewer(t, viewport = { width: 800, height: 700 }) {
  const page = await chromium.browser.newPage();
  page.setDefaultTimeout(kWaitMs);
  const faults = watchPage(page);
  t.after(() => page.close());
  await page.setViewport(viewport);
  // The viewer's own view: the page's main view is the studio's.
  await page.goto(`${server.url}#view=viewer`, { waitUntil: 'load', timeout: kWaitMs });
  await waitIdle(page);
  return { page, faults };
}

// The shell has finished with everything asked of it and no dialog is open.
async function waitIdle(page) {
  await page.waitForFunction(
    () => document.getElementById('screen').getAttribute('aria-busy') === 'false' &&
      !document.querySelector('dialog[open]'),
    { timeout: kWaitMs, polling: 50 });
}

// The canvas as red, green and blue bytes, like rawRgb.
function canvasRgb(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    return Array.from(rgba.filter((_, at) => at % 4 !== 3));
  }).then((bytes) => Buffer.from(bytes));
}

// Waits until the canvas shows exactly `expected` and the page is idle (or, `behindDialog`,
// still waiting for a dialog); otherwise the page is saved.
async function expectCanvas(page, expected, what, { behindDialog = false } = {}) {
  await page.evaluate((base64) => {
    window.expectedRgb = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  }, expected.toString('base64'));
  const shown = await page.waitForFunction((busy) => {
    const canvas = document.getElementById('screen');
    if (canvas.getAttribute('aria-busy') !== String(busy)) return false;
    const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    for (let i = 0, o = 0; i < rgba.length; i += 4, o += 3) {
      if (rgba[i] !== expectedRgb[o] || rgba[i + 1] !== expectedRgb[o + 1] || rgba[i + 2] !== expectedRgb[o + 2]) return false;
    }
    return true;
  }, { timeout: kWaitMs, polling: 100 }, behindDialog).then(() => true, () => false);
  if (shown) return;
  const rgb = await canvasRgb(page);
  let differing = 0;
  for (let i = 0; i < rgb.length; i += 3) {
    if (rgb[i] !== expected[i] || rgb[i + 1] !== expected[i + 1] || rgb[i + 2] !== expected[i + 2]) ++differing;
  }
  const saved = join(work, `failed-${what.replace(/[^a-z0-9]+/gi, '-')}.png`);
  await page.screenshot({ path: saved });
  assert.fail(`the canvas does not show ${what}: ${differing} pixels differ (page saved as ${saved})`);
}

// File > Open… through the menu, answering the file chooser with `paths`.
async function chooseFiles(page, item, paths) {
  await page.click('#file-menu');
  const [chooser] = await Promise.all([
    page.waitForFileChooser({ timeout: kWaitMs }),
    page.click(`#${item}`),
  ]);
  await chooser.accept(paths);
}

// Presses each key in turn; a key given as [modifier, key] is pressed with the modifier held.
async function pressKeys(page, keys) {
  for (const key of keys) {
    const chord = Array.isArray(key) ? key : [key];
    for (const part of chord) await page.keyboard.down(part);
    for (const part of [...chord].reverse()) await page.keyboard.up(part);
  }
  await waitIdle(page);
}

test('the demo game browsed with the keys shows what duzuroro-cli shows', { timeout: kTestMs }, async (t) => {
  // Smaller than the page, so that keys the page took would scroll it.
  const { page, faults } = await openViewer(t, { width: 700, height: 400 });
  await expectCanvas(page, startPicture, '"Please open a file."');
  const focused = await page.evaluate(() => document.activeElement?.id);
  assert.equal(focused, 'screen', 'the canvas has the keyboard when the page starts');
  // The six keys before any game change nothing.
  await pressKeys(page, ['ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', 'NumpadAdd', 'NumpadSubtract']);
  await expectCanvas(page, startPicture, '"Please open a file." after the six keys');

  await chooseFiles(page, 'menu-open', demoFiles);
  await expectCanvas(page, cliPicture({ costume: 1, frame: 1, zoom: false }), 'costume 1 just opened');
  for (const step of readSteps(kSharedSteps)) {
    await pressKeys(page, step.keys);
    await expectCanvas(page, cliPicture(step), `the step "${step.line.trim()}"`);
  }
  await page.screenshot({ path: join(work, 'browse.png') });
  assert.equal(await page.evaluate(() => window.scrollY), 0, 'the arrows scrolled the page');
  assert.deepEqual(faults, []);
});

test('a broken game shows one Error dialog, then "Please open a file."', { timeout: kTestMs }, async (t) => {
  const { page, faults } = await openViewer(t);
  await chooseFiles(page, 'menu-open', demoFiles);
  await waitIdle(page);
  const costume1 = cliPicture({ costume: 1, frame: 1, zoom: false });
  await expectCanvas(page, costume1, 'costume 1');

  await chooseFiles(page, 'menu-open', [join(broken, 'BROKEN.LA0')]);
  await page.waitForSelector('#error[open]', { timeout: kWaitMs });
  const dialog = await page.$eval('#error', (error) => ({
    title: error.querySelector('h1').textContent,
    text: error.querySelector('#error-text').textContent,
    buttons: [...error.querySelectorAll('button')].map((button) => button.textContent),
    modal: error.matches(':modal'),
  }));
  assert.deepEqual(dialog, { title: 'Error', text: brokenMessage, buttons: ['OK'], modal: true });
  // Until OK the shell waits, and the picture behind the dialog is the one before the open.
  await expectCanvas(page, costume1, 'costume 1 behind the Error dialog', { behindDialog: true });
  await page.screenshot({ path: join(work, 'error-dialog.png') });

  await page.click('#error button');
  await waitIdle(page);
  await expectCanvas(page, startPicture, '"Please open a file." after the failed open');
  // The keys do nothing now that no game is open.
  await pressKeys(page, ['ArrowUp', 'NumpadAdd']);
  await expectCanvas(page, startPicture, '"Please open a file." after keys');
  assert.deepEqual(faults, []);
});

test('files dropped on the page open their game, whatever their letter case', { timeout: kTestMs }, async (t) => {
  const { page, faults } = await openViewer(t);
  const files = demoFiles.map((file) => [basename(file).toLowerCase(), readFileSync(file).toString('base64')]);
  await page.evaluate((dropped) => {
    const transfer = new DataTransfer();
    for (const [name, base64] of dropped) {
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    }
    const drop = new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true });
    document.getElementById('screen').dispatchEvent(drop);
  }, files);
  await expectCanvas(page, cliPicture({ costume: 1, frame: 1, zoom: false }), 'costume 1 of the dropped files');
  await pressKeys(page, ['ArrowRight']);
  await expectCanvas(page, cliPicture({ costume: 1, frame: 2, zoom: false }), 'costume 1, frame 2');
  assert.deepEqual(faults, []);
});

test('a folder with two games asks which to open; no index file, or an unreadable file, opens nothing', { timeout: kTestMs }, async (t) => {
  const { page, faults } = await openViewer(t);
  // Disk files without their index file: nothing to open, and the page says so.
  await chooseFiles(page, 'menu-open', demoFiles.slice(1));
  await page.waitForSelector('#no-index[open]', { timeout: kWaitMs });
  await page.click('#no-index button');
  await waitIdle(page);
  await expectCanvas(page, startPicture, '"Please open a file." after choosing no index file');

  // A chosen file gone before the page could read it: an Error, and nothing opened.
  const copy = join(work, 'copy');
  cpSync(join(work, 'games'), copy, { recursive: true });
  await chooseFiles(page, 'menu-open-folder', [copy]);
  await page.waitForSelector('#choose-index[open]', { timeout: kWaitMs });
  rmSync(join(copy, 'demo', 'DEMO.LA2'));
  await page.click('#index-choices button:nth-child(2)');
  await page.waitForSelector('#error[open]', { timeout: kWaitMs });
  assert.equal(await page.$eval('#error-text', (text) => text.textContent), 'Failed to read from a file.');
  await page.click('#error button');
  await waitIdle(page);
  await expectCanvas(page, startPicture, '"Please open a file." after an unreadable file');

  await chooseFiles(page, 'menu-open-folder', [join(work, 'games')]);
  await page.waitForSelector('#choose-index[open]', { timeout: kWaitMs });
  const choices = await page.$$eval('#index-choices button', (buttons) => buttons.map((b) => b.textContent));
  assert.deepEqual(choices, ['games/broken/BROKEN.LA0', 'games/demo/DEMO.LA0']);
  await page.click('#index-choices button:nth-child(2)');
  await waitIdle(page);
  await expectCanvas(page, cliPicture({ costume: 1, frame: 1, zoom: false }), 'costume 1 from the folder');
  await pressKeys(page, ['ArrowUp', 'NumpadAdd']);
  await expectCanvas(page, cliPicture({ costume: 2, frame: 1, zoom: true }), 'costume 2 zoomed');
  assert.deepEqual(faults, []);
});
