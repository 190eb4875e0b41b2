// The browser's figures for scripts/bench.sh: every frame of the demo game decoded and drawn
// by the page's WebAssembly, in headless Chromium, timed in the page with performance.now().
// The keys are those bench/demo_sweep_bench.cpp presses natively: from costume 1, frame 1,
// right to each costume's last frame, then up to the next costume. They go straight to the
// module's key function, without the key events and the page's queue around it.
//
//   node tests/browser/frames.bench.mjs WEB_DIR CLI GAME_DIR
//
// WEB_DIR is the built page, CLI the host's duzuroro-cli (which lists the frames), GAME_DIR a
// folder holding DEMO.LA0 and its disk files. Prints one JSON object: the key count and the
// median milliseconds of a round of them, the module alone and with each picture put on the
// canvas as the page paints it.
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { kWaitMs, launchChromium, serveFolder, watchPage } from './harness.mjs';

const [webDir, cli, gameDir] = process.argv.slice(2);
if (!webDir || !cli || !gameDir) {
  console.error('usage: node frames.bench.mjs WEB_DIR CLI GAME_DIR');
  process.exit(2);
}

// Rounds are repeated until both bounds are reached, and never past kMaxRounds.
const kMinRounds = 15;
const kMinMs = 1500;
const kMaxRounds = 400;
const kWarmRounds = 3;

function frameCounts() {
  const info = JSON.parse(execFileSync(cli, ['info', '--json', join(gameDir, 'DEMO.LA0')]));
  return info.costumes.map((costume) => costume.frameCount || 0);
}

// The same walk as SweepKeys in bench/demo_sweep_bench.cpp.
function sweep(frames, right, up) {
  const keys = [];
  frames.forEach((count, at) => {
    if (at > 0) keys.push(up);
    for (let frame = 1; frame < count; ++frame) keys.push(right);
  });
  return keys;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

const chromium = await launchChromium();
const server = await serveFolder(webDir);
let status = 0;
try {
  const page = await chromium.browser.newPage();
  const faults = watchPage(page);
  await page.goto(server.url, { waitUntil: 'load', timeout: kWaitMs });
  await page.waitForFunction(() => typeof pageStarted !== 'undefined' && pageStarted,
                             { timeout: kWaitMs });
  const files = readdirSync(gameDir).filter((name) => name.startsWith('DEMO.LA'))
    .map((name) => [name, readFileSync(join(gameDir, name)).toString('base64')]);
  const frames = frameCounts();
  const result = await page.evaluate((files, frames, sweepSource, rounds) => {
    /* global FS, ccall, _WebPressKey, pageErrors, pagePaint */
    FS.mkdirTree('/bench');
    for (const [name, base64] of files) {
      FS.writeFile(`/bench/${name}`, Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)));
    }
    const keyOf = (code) => ccall('WebShellKey', 'number', ['string'], [code]);
    const keys = new Function(`return ${sweepSource}`)()(frames, keyOf('ArrowRight'),
                                                         keyOf('ArrowUp'));
    const measure = (paint) => {
      const times = [];
      const started = performance.now();
      for (let round = 0; round < rounds.max; ++round) {
        ccall('WebOpen', null, ['string', 'string'], ['/bench/', 'DEMO.LA0']);
        pagePaint();
        pageErrors.length = 0;
        const before = performance.now();
        for (const key of keys) {
          _WebPressKey(key);
          if (paint) pagePaint();
        }
        const after = performance.now();
        pageErrors.length = 0;
        if (round >= rounds.warm) times.push(after - before);
        if (times.length >= rounds.min && after - started >= rounds.ms) break;
      }
      return times;
    };
    return { keys: keys.length, module: measure(false), painted: measure(true) };
  }, files, frames, sweep.toString(),
  { min: kMinRounds, ms: kMinMs, max: kMaxRounds, warm: kWarmRounds });
  if (faults.length) throw new Error(faults.join('\n'));
  console.log(JSON.stringify({
    keys: result.keys,
    rounds: result.module.length,
    module_ms: median(result.module),
    painted_ms: median(result.painted),
    chromium: await chromium.browser.version(),
  }));
} catch (fault) {
  console.error(`frames.bench: ${fault.message}`);
  status = 1;
} finally {
  // The browser first: the server's close waits for the browser's kept-alive connections.
  await chromium.close();
  await server.close();
}
process.exit(status);
