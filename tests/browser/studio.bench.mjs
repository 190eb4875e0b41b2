// The studio's figures for scripts/bench.sh, in headless Chromium, timed in the page with
// performance.now():
//   - from choosing the demo game's files (the file input's change) to the first animation
//     frame in which every tile in view shows its picture or its message, on a fresh page
//     each time, as a user's first open is;
//   - "Download everything" of the demo, from the click to the zip's bytes handed to the
//     download (the download itself is left out: it is the browser's).
//
//   node tests/browser/studio.bench.mjs WEB_DIR GAME_DIR [REPETITIONS]
//
// GAME_DIR holds DEMO.LA0 and its disk files. Prints one JSON object with the medians, every
// repetition's figures, the tiles in view and the zip's size. BENCH_TRACE=FILE writes a
// Chromium performance trace of one more open and download there, for a closer look.
import { readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { kWaitMs, launchChromium, serveFolder, watchPage } from './harness.mjs';

const [webDir, gameDir, repetitionsText] = process.argv.slice(2);
if (!webDir || !gameDir) {
  console.error('usage: node studio.bench.mjs WEB_DIR GAME_DIR [REPETITIONS]');
  process.exit(2);
}
const kRepetitions = Number(repetitionsText || 9);
const kViewport = { width: 1280, height: 900 };
const gameFiles = readdirSync(gameDir).filter((name) => name.startsWith('DEMO.LA'))
  .sort().map((name) => join(gameDir, name));

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// Installed before the page's own scripts run: the moment of the choice, the first animation
// frame with every tile in view done, and the moments of the click and of the zip's bytes.
function watchStudio() {
  window.benchMarks = {};
  document.addEventListener('change', (event) => {
    if (event.target.type !== 'file') return;
    window.benchMarks.chosen = performance.now();
    const inView = () => {
      const box = document.getElementById('tiles').getBoundingClientRect();
      return [...document.querySelectorAll('#tiles .tile')].filter((tile) => {
        const at = tile.getBoundingClientRect();
        return at.bottom > box.top && at.top < box.bottom;
      });
    };
    const check = () => {
      const tiles = inView();
      if (tiles.length > 0 && tiles.every((tile) => tile.dataset.status)) {
        window.benchMarks.tilesDrawn = performance.now();
        window.benchMarks.tilesInView = tiles.length;
      } else {
        requestAnimationFrame(check);
      }
    };
    requestAnimationFrame(check);
  }, true);
  document.addEventListener('click', (event) => {
    if (event.target.id === 'download-everything') window.benchMarks.clicked = performance.now();
  }, true);
}

// The page's save, which would start a download, only notes when and what it was given.
function catchSave() {
  /* global studioSave: writable */
  studioSave = (name, parts) => {
    window.benchMarks.zipReady = performance.now();
    window.benchMarks.zipName = name;
    window.benchMarks.zipBytes = parts.reduce((sum, part) => sum + (part.byteLength ?? part.size), 0);
  };
}

async function openStudio(browser, url) {
  const page = await browser.newPage();
  page.setDefaultTimeout(kWaitMs);
  const faults = watchPage(page);
  await page.setViewport(kViewport);
  await page.evaluateOnNewDocument(watchStudio);
  await page.goto(url, { waitUntil: 'load', timeout: kWaitMs });
  await page.waitForFunction(() => typeof studio !== 'undefined' && studio.defaults !== null &&
                             typeof pageStarted !== 'undefined' && pageStarted);
  await page.evaluate(catchSave);
  return { page, faults };
}

// One fresh page: the game chosen, its tiles drawn, then Download everything.
async function oneRepetition(browser, url, trace) {
  const { page, faults } = await openStudio(browser, url);
  try {
    if (trace) await page.tracing.start({ path: trace, screenshots: false });
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#studio-open')]);
    await chooser.accept(gameFiles);
    await page.waitForFunction(() => window.benchMarks.tilesDrawn !== undefined);
    // The tiles' queue finished, so the download's figure is its own.
    await page.waitForFunction(() => !studio.pumping);
    await page.click('#download-everything');
    await page.waitForFunction(() => window.benchMarks.zipReady !== undefined && studio.everything === null);
    if (trace) await page.tracing.stop();
    if (faults.length) throw new Error(faults.join('\n'));
    return await page.evaluate(() => window.benchMarks);
  } finally {
    await page.close();
  }
}

const chromium = await launchChromium();
const server = await serveFolder(webDir);
let status = 0;
try {
  const runs = [];
  for (let run = 0; run < kRepetitions; ++run) runs.push(await oneRepetition(chromium.browser, server.url));
  if (process.env.BENCH_TRACE) await oneRepetition(chromium.browser, server.url, process.env.BENCH_TRACE);
  const tiles = runs.map((marks) => marks.tilesDrawn - marks.chosen);
  const everything = runs.map((marks) => marks.zipReady - marks.clicked);
  console.log(JSON.stringify({
    repetitions: runs.length,
    tiles_ms: median(tiles),
    everything_ms: median(everything),
    tiles_runs_ms: tiles.map((ms) => Number(ms.toFixed(1))),
    everything_runs_ms: everything.map((ms) => Number(ms.toFixed(1))),
    tiles_in_view: runs[0].tilesInView,
    zip_name: runs[0].zipName,
    zip_bytes: runs[0].zipBytes,
    chromium: await chromium.browser.version(),
  }));
} catch (fault) {
  console.error(`studio.bench: ${fault.message}`);
  status = 1;
} finally {
  await chromium.close();
  await server.close();
}
process.exit(status);
