// The gallery `duzuroro-cli gallery` writes for the demo game, opened in headless Chromium
// from file:// as a person opens it from their disk: every picture loads, nothing is fetched
// from anywhere else, the costumes listed are those `info --json` gives, and a phone-sized
// screen shows it in one column without sideways scrolling.
//
// Environment: DUZURORO_CLI (the command-line tool) and DUZURORO_BROWSER_WORK (a folder for
// the game, the gallery and the screenshots).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, rmSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';
import { kWaitMs, launchChromium, watchPage } from './harness.mjs';

const cli = process.env.DUZURORO_CLI;
const work = process.env.DUZURORO_BROWSER_WORK && join(process.env.DUZURORO_BROWSER_WORK, 'gallery');
assert.ok(cli && work, 'DUZURORO_CLI and DUZURORO_BROWSER_WORK must be set');

const kTestMs = 60000;
const site = join(work, 'site');
let info;
let chromium;

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  const index = join(work, 'game', 'DEMO.LA0');
  execFileSync(cli, ['make-demo', join(work, 'game')]);
  // The demo has a costume whose disk is missing: a note, and still exit status 0.
  execFileSync(cli, ['gallery', index, '--out', site, '--scale', '2', '--transparent', '0'], { stdio: 'pipe' });
  info = JSON.parse(execFileSync(cli, ['info', index, '--json']).toString());
  chromium = await launchChromium();
});

after(async () => {
  await chromium?.close();
});

// The gallery in a fresh page at `viewport`, with every request it made and every fault.
async function openGallery(t, viewport) {
  const page = await chromium.browser.newPage();
  page.setDefaultTimeout(kWaitMs);
  t.after(() => page.close());
  const faults = watchPage(page);
  const requests = [];
  page.on('request', (request) => requests.push(request.url()));
  await page.setViewport(viewport);
  await page.goto(pathToFileURL(join(site, 'index.html')).href, { waitUntil: 'load', timeout: kWaitMs });
  await page.waitForFunction(() => [...document.images].every((image) => image.complete),
    { timeout: kWaitMs, polling: 100 });
  return { page, faults, requests };
}

// What the page shows of each costume, in the terms of `info --json`.
function shownCostumes(page) {
  return page.$$eval('article', (articles) => articles.map((article) => {
    const fields = {};
    for (const term of article.querySelectorAll('dt')) fields[term.textContent] = term.nextElementSibling.textContent;
    return {
      id: article.id,
      status: article.dataset.status,
      fields,
      message: article.querySelector('.message')?.textContent ?? null,
      images: [...article.querySelectorAll('img')].map((image) => image.getAttribute('src')),
      links: [...article.querySelectorAll('a')].map((link) => link.getAttribute('href')),
      swatch: article.querySelectorAll('.swatch span').length,
    };
  }));
}

// "8 frames, 64×96" when all are alike; otherwise each size with its count, then the
// frames that cannot be read.
function collapsedFrames(costume) {
  const sizes = [];
  const failures = [];
  for (const frame of costume.frames) {
    if (frame.error) { failures.push(`[${frame.error}]`); continue; }
    const size = `${frame.width}×${frame.height}`;
    const same = sizes.find((each) => each.size === size);
    if (same) same.count += 1; else sizes.push({ size, count: 1 });
  }
  const count = costume.frameCount;
  if (count === 0) return 'none';
  const heading = `${count} ${count === 1 ? 'frame' : 'frames'}`;
  if (sizes.length === 1 && failures.length === 0) return `${heading}, ${sizes[0].size}`;
  return `${heading}: ${[...sizes.map(({ size, count: n }) => `${size} (${n})`), ...failures].join(', ')}`;
}

function expectedCostume(costume) {
  const fields = {
    Room: String(costume.room),
    Disk: costume.disk === null ? 'none' : String(costume.disk),
    Status: costume.status,
  };
  if (costume.status === 'loaded') {
    Object.assign(fields, {
      Codec: String(costume.codec),
      Colours: String(costume.colourCount),
      Frames: collapsedFrames(costume),
    });
  }
  return { id: `costume-${costume.number}`, status: costume.status, fields };
}

test('the gallery opened from the disk shows every costume as info lists it, every picture loaded', { timeout: kTestMs }, async (t) => {
  const { page, faults, requests } = await openGallery(t, { width: 1280, height: 900 });
  await page.screenshot({ path: join(work, 'gallery-desktop.png') });

  const shown = await shownCostumes(page);
  assert.equal(shown.length, info.listedCostumeCount);
  assert.deepEqual(shown.map(({ id, status, fields }) => ({ id, status, fields })),
    info.costumes.map(expectedCostume));
  for (const costume of shown) {
    const name = `costume-${costume.id.slice('costume-'.length).padStart(4, '0')}`;
    if (costume.status === 'loaded') {
      assert.deepEqual(costume.images, [`${name}.gif`], costume.id);
      assert.deepEqual(costume.links, ['-sheet.png', '-sheet.json', '.gpl', '.pal', '.act'].map((end) => name + end), costume.id);
      assert.equal(costume.swatch, Math.min(Number(costume.fields.Colours), 256), costume.id);
      assert.equal(costume.message, null, costume.id);
    } else {
      assert.deepEqual([costume.images, costume.links], [[], []], costume.id);
      assert.ok(costume.message, `${costume.id} says why it shows nothing`);
    }
    for (const link of costume.links) assert.ok(existsSync(join(site, link)), `${link} is written`);
  }
  assert.ok(shown.some((costume) => costume.status === 'not-present'), 'the demo shows a costume not present');

  const images = await page.$$eval('img', (all) => all.map((image) => ({ src: image.getAttribute('src'), width: image.naturalWidth, height: image.naturalHeight })));
  assert.equal(images.length, shown.filter((costume) => costume.status === 'loaded').length);
  for (const image of images) assert.ok(image.width > 0 && image.height > 0, `${image.src} did not load`);
  assert.deepEqual(requests.filter((url) => !url.startsWith('file://')), [], 'the page fetched from a network');
  assert.deepEqual(faults, []);
});

test('on a phone-sized screen the costumes stand in one column, without sideways scrolling', { timeout: kTestMs }, async (t) => {
  const { page, faults } = await openGallery(t, { width: 390, height: 844, isMobile: true, hasTouch: true });
  await page.screenshot({ path: join(work, 'gallery-phone.png') });
  const layout = await page.evaluate(() => ({
    overflow: document.documentElement.scrollWidth - window.innerWidth,
    columns: new Set([...document.querySelectorAll('article')].map((article) => article.getBoundingClientRect().left)).size,
    narrowest: Math.min(...[...document.querySelectorAll('article')].map((article) => article.getBoundingClientRect().width)),
  }));
  assert.deepEqual({ overflow: layout.overflow, columns: layout.columns }, { overflow: 0, columns: 1 });
  assert.ok(layout.narrowest > 300, `the cards use the screen's width (${layout.narrowest} pixels)`);
  assert.deepEqual(faults, []);
});
