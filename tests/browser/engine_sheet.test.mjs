// The sprite sheets of `duzuroro-cli export --sheet` loaded as a game engine loads them: the
// Phaser engine (from the npm registry) reads the PNG and its JSON, in both layouts, in
// headless Chromium; every frame it makes must have the rectangle the JSON gives and, drawn
// by the engine, the pixels of the frame exported on its own.
//
// Environment: DUZURORO_CLI (the command-line tool) and DUZURORO_BROWSER_WORK (a folder for
// the game, the sheets and the page).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';
import { kWaitMs, launchChromium, serveFolder, watchPage } from './harness.mjs';

const cli = process.env.DUZURORO_CLI;
const work = process.env.DUZURORO_BROWSER_WORK;
assert.ok(cli && work, 'DUZURORO_CLI and DUZURORO_BROWSER_WORK must be set');

const kTestMs = 120000;
const site = join(work, 'engine');
const kScale = 3;

// The engine's page: one scene that loads the atlas, puts every frame of it side by side at
// its own size, and reports the frames and the drawn pixels once it has drawn them.
const kPage = `<!doctype html>
<html><head><meta charset="utf-8"><link rel="icon" href="data:,"><script src="phaser.min.js"></script></head>
<body style="margin:0"><script>
const query = new URLSearchParams(location.search);
const sheet = query.get('sheet');
window.loaded = new Promise((resolve, reject) => {
  class Sheet extends Phaser.Scene {
    preload() {
      this.load.on('loaderror', (file) => reject(new Error('the engine did not load ' + file.src)));
      this.load.atlas('sheet', sheet + '.png', sheet + '.json');
    }
    create() {
      const texture = this.textures.get('sheet');
      const names = texture.getFrameNames();
      const frames = [];
      let x = 0;
      for (const name of names) {
        const frame = texture.get(name);
        frames.push({ name, x: frame.cutX, y: frame.cutY, w: frame.cutWidth, h: frame.cutHeight, at: x });
        this.add.image(x, 0, 'sheet', name).setOrigin(0, 0);
        x += frame.cutWidth;
      }
      this.game.events.once('postrender', () => {
        const canvas = this.game.canvas;
        const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let binary = '';
        for (let i = 0; i < pixels.length; i += 0x8000) {
          binary += String.fromCharCode(...pixels.subarray(i, i + 0x8000));
        }
        resolve({ frames, width: canvas.width, height: canvas.height, pixels: btoa(binary) });
      });
    }
  }
  new Phaser.Game({
    type: Phaser.CANVAS, width: Number(query.get('width')), height: Number(query.get('height')),
    transparent: true, pixelArt: true, banner: false, audio: { noAudio: true }, scene: Sheet,
  });
});
</script></body></html>`;

function run(...args) {
  execFileSync(cli, args, { stdio: ['ignore', 'ignore', 'inherit'] });
}

// A PNG file's pixels as RGBA bytes, read by ImageMagick.
function rgba(file) {
  return execFileSync('convert', [file, '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 26 });
}

let chromium;
let server;

before(async () => {
  rmSync(site, { recursive: true, force: true });
  mkdirSync(site, { recursive: true });
  const engine = fileURLToPath(new URL('node_modules/phaser/dist/phaser.min.js', import.meta.url));
  copyFileSync(engine, join(site, 'phaser.min.js'));
  writeFileSync(join(site, 'sheet.html'), kPage);
  const game = join(work, 'engine-game');
  run('make-demo', game);
  const common = ['export', join(game, 'DEMO.LA0'), '--costume', '1', '--transparent', '0',
    '--scale', String(kScale)];
  run(...common, '--sheet', '--layout', 'grid', '--padding', '2', '--out', join(site, 'array'));
  run(...common, '--sheet', '--sheet-json', 'hash', '--out', join(site, 'hash'));
  run(...common, '--out', join(site, 'frames'));
  chromium = await launchChromium();
  server = await serveFolder(site);
});

after(async () => {
  await server?.close();
  await chromium?.close();
});

for (const layout of ['array', 'hash']) {
  test(`the engine loads a sheet with its JSON ${layout} and draws each frame as exported`, { timeout: kTestMs }, async (t) => {
    const sheet = `${layout}/costume-0001-sheet`;
    const json = JSON.parse(readFileSync(join(site, `${sheet}.json`), 'utf8'));
    const entries = Array.isArray(json.frames)
      ? json.frames
      : Object.entries(json.frames).map(([filename, entry]) => ({ filename, ...entry }));
    assert.equal(entries.length, 8, 'the walking figure has eight frames');
    const width = entries.reduce((sum, entry) => sum + entry.frame.w, 0);
    const height = Math.max(...entries.map((entry) => entry.frame.h));

    const page = await chromium.browser.newPage();
    t.after(() => page.close());
    const faults = watchPage(page);
    await page.setViewport({ width, height });
    await page.goto(`${server.url}sheet.html?sheet=${sheet}&width=${width}&height=${height}`);
    const drawn = await page.evaluate(
      (ms) => Promise.race([window.loaded, new Promise((_, no) => setTimeout(() => no(new Error('timed out')), ms))]),
      kWaitMs);
    assert.deepEqual(faults, []);

    // The engine's frames are the JSON's, by name and rectangle (its "__BASE" frame aside).
    const frames = drawn.frames.filter((frame) => frame.name !== '__BASE');
    assert.deepEqual(frames.map(({ name, x, y, w, h }) => ({ name, x, y, w, h })),
      entries.map((entry) => ({ name: entry.filename, ...entry.frame })));

    // What the engine drew for each frame is the frame exported alone: its colours where
    // opaque, nothing where index 0 is transparent.
    const pixels = Buffer.from(drawn.pixels, 'base64');
    for (const frame of frames) {
      const expected = rgba(join(site, 'frames', `${frame.name}.png`));
      assert.equal(expected.length, frame.w * frame.h * 4, `${frame.name}: size`);
      let differing = 0;
      for (let y = 0; y < frame.h; ++y) {
        for (let x = 0; x < frame.w; ++x) {
          const at = ((y * drawn.width) + frame.at + x) * 4;
          const want = (y * frame.w + x) * 4;
          const same = expected[want + 3] === 0
            ? pixels[at + 3] === 0
            : pixels.compare(expected, want, want + 4, at, at + 4) === 0;
          if (!same) ++differing;
        }
      }
      assert.equal(differing, 0, `${frame.name}: ${differing} pixels differ from the exported frame`);
    }
    await page.screenshot({ path: join(work, `engine-${layout}.png`) });
  });
}
