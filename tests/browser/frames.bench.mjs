// The browser's figures for scripts/bench.sh: every frame of the demo game decoded and drawn
// by the page's WebAssembly, in headless Chromium, timed in the page with performance.now().
// The keys are those bench/demo_sweep_bench.cpp presses natively: from costume 1, frame 1,
// right to each costume's last frame, then up to the next costume. They go straight to the
// module's key function, without the key events and the page's queue around it.
//
//   node tests/browser/frames.bench.mjs WEB_DIR CLI GAME_DIR [NATIVE_BENCH]
//
// WEB_DIR is the built page, CLI the host's duzuroro-cli (which lists the frames), GAME_DIR a
// folder holding DEMO.LA0 and its disk files. Prints one JSON object: the key count and the
// median milliseconds of a round of them, the module alone and with each picture put on the
// canvas as the page paints it. With NATIVE_BENCH (the host's duzuroro_bench), the native
// walk is measured between the page's repetitions, so that each ratio is of two figures
// taken under the same load, and the median of those ratios is given too.
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { kWaitMs, launchChromium, serveFolder, watchPage } from './harness.mjs';

const [webDir, cli, gameDir, nativeBench] = process.argv.slice(2);
if (!webDir || !cli || !gameDir) {
  console.error('usage: node frames.bench.mjs WEB_DIR CLI GAME_DIR [NATIVE_BENCH]');
  process.exit(2);
}

// Rounds are repeated until both bounds are reached, and never past kMaxRounds.
const kMinRounds = 15;
const kMinMs = 1500;
const kMaxRounds = 400;
const kWarmRounds = 3;
// Repetitions of the page's rounds, each beside one run of the native walk.
const kRepetitions = 5;

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

// One short run of BM_DemoEveryFrame: the milliseconds of the whole walk and its key count.
function nativeWalk() {
  const report = JSON.parse(execFileSync(nativeBench, [
    '--benchmark_filter=^BM_DemoEveryFrame', '--benchmark_min_time=0.3',
    '--benchmark_format=json'], { stdio: ['ignore', 'pipe', 'ignore'] }));
  const [run] = report.benchmarks;
  if (!run || run.error_occurred) throw new Error('the native walk did not run');
  const unit = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 }[run.time_unit];
  return { ms: run.real_time * unit, keys: run.keys };
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
  await page.evaluate((files, frames, sweepSource) => {
    /* global FS, ccall */
    FS.mkdirTree('/bench');
    for (const [name, base64] of files) {
      FS.writeFile(`/bench/${name}`, Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)));
    }
    const keyOf = (code) => ccall('WebShellKey', 'number', ['string'], [code]);
    window.benchKeys = new Function(`return ${sweepSource}`)()(frames, keyOf('ArrowRight'),
                                                               keyOf('ArrowUp'));
  }, files, frames, sweep.toString());
  // Rounds of the whole walk, the first few left out as warm-up (the engine compiles the
  // module's hot code better once it has run): the milliseconds of each.
  const measure = (paint) => page.evaluate((paint, rounds) => {
    /* global ccall, _WebPressKey, pageErrors, pagePaint */
    const keys = window.benchKeys;
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
  }, paint, { min: kMinRounds, ms: kMinMs, max: kMaxRounds, warm: kWarmRounds });
  const keyCount = await page.evaluate(() => window.benchKeys.length);
  const module = [], painted = [], native = [], ratios = [];
  for (let repetition = 0; repetition < (nativeBench ? kRepetitions : 1); ++repetition) {
    // The native walk right after the page's, the pair under one load.
    const moduleMs = median(await measure(false));
    module.push(moduleMs);
    if (nativeBench) {
      const walk = nativeWalk();
      if (walk.keys !== keyCount) throw new Error(`the native walk has ${walk.keys} keys, the page's ${keyCount}`);
      native.push(walk.ms);
      ratios.push(moduleMs / walk.ms);
    }
    painted.push(median(await measure(true)));
  }
  if (faults.length) throw new Error(faults.join('\n'));
  const summary = {
    keys: keyCount,
    repetitions: module.length,
    module_ms: median(module),
    painted_ms: median(painted),
    chromium: await chromium.browser.version(),
  };
  if (nativeBench) {
    Object.assign(summary, {
      native_ms: median(native),
      ratio: median(ratios),
      ratios: ratios.map((ratio) => Number(ratio.toFixed(3))),
    });
  }
  console.log(JSON.stringify(summary));
} catch (fault) {
  console.error(`frames.bench: ${fault.message}`);
  status = 1;
} finally {
  // The browser first: the server's close waits for the browser's kept-alive connections.
  await chromium.close();
  await server.close();
}
process.exit(status);
