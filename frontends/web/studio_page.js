// The studio: every costume of the open game as a tile, the chosen one large with its frames,
// its palette and playback, and the downloads the export library makes, byte for byte those
// of `duzuroro-cli export`. Loaded before emscripten's output, whose module and viewer page
// (viewer_page.js) it uses once they start it, sharing their file choosing and dialogs.
//
// Nothing here runs long: costumes are described and drawn one per call into the module, a
// few milliseconds' worth at a time, and a whole game is exported a few costumes per call,
// so that the page answers its keys and clicks between any two of them.

const kSliceMs = 8;          // the work done at one go before the page may react again
const kExportCallMs = 10;    // what one call of a whole game's export should take
const kTileStep = { x: 118, y: 156 };  // a tile with the gap after it
const kTilePicture = { width: 96, height: 72 };
const kStripPicture = 48;
const kZoomLevels = 8;

const studio = {
  defaults: null,     // the tool's defaults and bounds, from the module
  open: false,
  generation: 0,      // a new game makes every queued task of the one before void
  indexName: '',
  listed: 0,          // costumes 1 to listed
  numbers: [],        // the costumes the filter lets through, ascending
  infos: new Map(),   // costume number -> what StudioCostume says of it
  tiles: new Map(),   // costume number -> its tile, for the tiles in view
  costume: 0,
  frame: 1,
  zoom: 1,
  frames: [],         // the chosen costume's frames drawn, a canvas or null each
  playing: false,
  timer: 0,
  nextAt: 0,
  work: [],
  pumping: false,
  exports: 0,
  everything: null,   // the whole game's export under way: { cancelled }
  wanted: null,       // the deep link the page was opened with, until a game is open
};

const studioElement = (id) => document.getElementById(id);

// --- The module ----------------------------------------------------------------------------

function studioCall(name, types, args) {
  return JSON.parse(ccall(name, 'string', types, args));
}

function studioInfo(number) {
  if (!studio.infos.has(number)) studio.infos.set(number, studioCall('StudioCostume', ['number'], [number]));
  return studio.infos.get(number);
}

// The transparent index asked for, or null for none.
function studioTransparent() {
  const text = studioElement('transparent').value.trim();
  if (text === '') return null;
  const index = Number(text);
  const [lowest, highest] = studio.defaults.transparentRange;
  return Number.isInteger(index) && index >= lowest && index <= highest ? index : null;
}

// Frame `frame` of costume `number` as a canvas of its own size; null when it cannot be drawn
// or has no pixels.
function studioDrawFrame(number, frame) {
  const transparent = studioTransparent();
  const at = ccall('StudioRenderFrame', 'number', ['number', 'number', 'number'],
                   [number, frame, transparent === null ? -1 : transparent]);
  if (!at) return null;
  const width = HEAPU32[at >> 2];
  const height = HEAPU32[(at >> 2) + 1];
  if (width === 0 || height === 0) return null;
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  // putImageData copies the pixels, so they are read straight from the module's memory.
  const rgba = new Uint8ClampedArray(HEAPU8.buffer, at + 8, width * height * 4);
  canvas.getContext('2d').putImageData(new ImageData(rgba, width, height), 0, 0);
  return canvas;
}

// Shows `canvas` at the largest whole multiple of its size that fits `width` x `height`.
function studioFit(canvas, width, height) {
  const scale = Math.max(1, Math.floor(Math.min(width / canvas.width, height / canvas.height)));
  canvas.style.width = `${canvas.width * scale}px`;
  canvas.style.height = `${canvas.height * scale}px`;
  return canvas;
}

// --- Work in slices ------------------------------------------------------------------------

// Queues `task` for the current game; `first` puts it before everything waiting.
function studioQueue(task, first = false) {
  const generation = studio.generation;
  const guarded = () => {
    if (generation === studio.generation) task();
  };
  if (first) studio.work.unshift(guarded); else studio.work.push(guarded);
  if (!studio.pumping) {
    studio.pumping = true;
    setTimeout(studioPump, 0);
  }
}

// One slice of the work waiting, in the task that calls it.
function studioRunSlice() {
  const started = performance.now();
  while (studio.work.length && performance.now() - started < kSliceMs) {
    try {
      studio.work.shift()();
    } catch (fault) {
      console.error(fault);
    }
  }
}

function studioPump() {
  studioRunSlice();
  if (studio.work.length) setTimeout(studioPump, 0); else studio.pumping = false;
}

// Lets the page react, then goes on. A message is answered as soon as the page is free; a
// timer of 0 ms waits at least 4 ms once timers nest, which a long job pays at every step.
const studioYieldChannel = new MessageChannel();
const studioYieldWaiting = [];
studioYieldChannel.port1.onmessage = () => studioYieldWaiting.shift()?.();
function studioYield() {
  return new Promise((resolve) => {
    studioYieldWaiting.push(resolve);
    studioYieldChannel.port2.postMessage(null);
  });
}

// --- Tiles ---------------------------------------------------------------------------------

function studioFacts(info) {
  const frames = `${info.frameCount} ${info.frameCount === 1 ? 'frame' : 'frames'}`;
  return `${frames} · codec ${info.codec} · ${info.colourCount} colours`;
}

function studioMakeTile(number) {
  const tile = document.createElement('button');
  tile.className = 'tile';
  tile.setAttribute('aria-label', `Costume ${number}`);
  tile.dataset.number = String(number);
  tile.tabIndex = -1;
  const picture = document.createElement('span');
  picture.className = 'picture';
  const label = document.createElement('span');
  label.className = 'number';
  label.textContent = String(number);
  const facts = document.createElement('span');
  facts.className = 'facts';
  tile.append(picture, label, facts);
  tile.addEventListener('click', () => studioSelect(number));
  studioQueue(() => {
    if (studio.tiles.get(number) === tile) studioFillTile(tile, number);
  });
  return tile;
}

// What the core says of the costume, and its first frame.
function studioFillTile(tile, number) {
  const info = studioInfo(number);
  const facts = tile.querySelector('.facts');
  tile.dataset.status = info.status;
  if (info.status !== 'loaded') {
    facts.className = 'facts message';
    facts.textContent = info.message;
    return;
  }
  tile.dataset.frames = String(info.frameCount);
  tile.dataset.codec = String(info.codec);
  tile.dataset.colours = String(info.colourCount);
  facts.textContent = studioFacts(info);
  const first = info.frameCount > 0 ? studioDrawFrame(number, 1) : null;
  if (first) tile.querySelector('.picture').append(studioFit(first, kTilePicture.width, kTilePicture.height));
  tile.dataset.drawn = 'true';
}

function studioColumns() {
  return Math.max(1, Math.floor(studioElement('tiles').clientWidth / kTileStep.x));
}

// Makes the tiles in view (and a row either side), and drops the others, but never the one
// that has the keyboard.
function studioLayOutTiles() {
  const box = studioElement('tiles');
  const columns = studioColumns();
  const count = studio.numbers.length;
  studioElement('tiles-space').style.height = `${Math.ceil(count / columns) * kTileStep.y}px`;
  const firstRow = Math.max(0, Math.floor(box.scrollTop / kTileStep.y) - 1);
  const lastRow = Math.ceil((box.scrollTop + box.clientHeight) / kTileStep.y) + 1;
  const shown = new Set();
  for (let at = firstRow * columns; at < Math.min(count, lastRow * columns); ++at) {
    const number = studio.numbers[at];
    shown.add(number);
    let tile = studio.tiles.get(number);
    if (!tile) {
      tile = studioMakeTile(number);
      studio.tiles.set(number, tile);
      box.append(tile);
    }
    tile.style.left = `${(at % columns) * kTileStep.x + 4}px`;
    tile.style.top = `${Math.floor(at / columns) * kTileStep.y + 4}px`;
  }
  for (const [number, tile] of studio.tiles) {
    if (!shown.has(number) && tile !== document.activeElement) {
      tile.remove();
      studio.tiles.delete(number);
    }
  }
  studioMarkTiles();
}

// The chosen costume's tile is pressed and takes the Tab key; when it is out of view, the
// first tile in view does.
function studioMarkTiles() {
  let tabStop = studio.tiles.get(studio.costume);
  if (!tabStop) tabStop = studio.tiles.values().next().value;
  for (const [number, tile] of studio.tiles) {
    tile.setAttribute('aria-pressed', String(number === studio.costume));
    tile.tabIndex = tile === tabStop ? 0 : -1;
  }
}

function studioScrollToTile(number) {
  const at = studio.numbers.indexOf(number);
  if (at < 0) return;
  const box = studioElement('tiles');
  const top = Math.floor(at / studioColumns()) * kTileStep.y;
  if (top < box.scrollTop) box.scrollTop = top;
  else if (top + kTileStep.y > box.scrollTop + box.clientHeight) box.scrollTop = top + kTileStep.y - box.clientHeight;
  studioLayOutTiles();
}

// "3", "10-20" or "1,4-6,9": the costumes to show; null when the text is none of these.
function studioFilterNumbers(text) {
  const all = [];
  const trimmed = text.trim();
  if (trimmed === '') {
    for (let number = 1; number <= studio.listed; ++number) all.push(number);
    return all;
  }
  const wanted = new Set();
  for (const part of trimmed.split(',')) {
    const range = part.trim().match(/^(\d+)(?:\s*-\s*(\d+))?$/);
    if (!range) return null;
    const first = Math.max(1, Number(range[1]));
    const last = Math.min(studio.listed, Number(range[2] ?? range[1]));
    for (let number = first; number <= last; ++number) wanted.add(number);
  }
  return [...wanted].sort((a, b) => a - b);
}

function studioApplyFilter() {
  const numbers = studioFilterNumbers(studioElement('filter').value);
  studio.numbers = numbers ?? [];
  const count = studioElement('tile-count');
  if (numbers === null) count.textContent = 'Give costume numbers or ranges, such as 3 or 10-20.';
  else count.textContent = `${numbers.length} of ${studio.listed} costumes`;
  studioElement('tiles').scrollTop = 0;
  studioLayOutTiles();
}

// --- The chosen costume --------------------------------------------------------------------

// `stripFirst`: the frames' strip is drawn before the tiles still waiting, as when a costume
// is clicked; a game just opened draws its tiles in view first.
function studioSelect(number, frame = 1, stripFirst = true) {
  studio.costume = number;
  studio.frames = [];
  const info = studioInfo(number);
  studioElement('costume-title').textContent = `Costume ${number}`;
  studioElement('costume-facts').textContent = info.status === 'loaded'
    ? `${studioFacts(info)} · room ${info.room} · disk ${info.disk ?? 'none'}` : `room ${info.room} · disk ${info.disk ?? 'none'}`;
  studioElement('costume-message').textContent = info.status === 'loaded' ? '' : info.message;
  const count = info.frameCount ?? 0;
  studio.frame = Math.min(Math.max(1, frame), Math.max(1, count));
  studioMakeStrip(number, count, stripFirst);
  studioMakePalette(number, info);
  for (const id of ['download-gif', 'download-sheet', 'download-frames', 'download-palette']) {
    studioElement(id).disabled = info.status !== 'loaded';
  }
  studioScrollToTile(number);
  studioShowFrame();
}

function studioFrameCanvas(frame) {
  if (studio.frames[frame - 1] === undefined) studio.frames[frame - 1] = studioDrawFrame(studio.costume, frame);
  return studio.frames[frame - 1];
}

function studioFrameCount() {
  return studioInfo(studio.costume)?.frameCount ?? 0;
}

function studioShowFrame() {
  const view = studioElement('frame-view');
  const count = studioFrameCount();
  const label = studioElement('frame-label');
  const source = count > 0 ? studioFrameCanvas(studio.frame) : null;
  const zoom = studio.zoom;
  view.width = source ? source.width * zoom : 0;
  view.height = source ? source.height * zoom : 0;
  if (source) {
    const context = view.getContext('2d');
    context.imageSmoothingEnabled = false;
    context.drawImage(source, 0, 0, view.width, view.height);
  }
  view.dataset.costume = String(studio.costume);
  view.dataset.frame = String(studio.frame);
  view.dataset.zoom = String(zoom);
  const frameError = studioInfo(studio.costume)?.frames?.[studio.frame - 1]?.error;
  label.textContent = count === 0 ? 'No frames'
    : `Frame ${studio.frame} of ${count}${frameError ? `: ${frameError}` : ''}`;
  for (const button of studioElement('strip').children) {
    const current = Number(button.dataset.frame) === studio.frame;
    button.setAttribute('aria-current', String(current));
    button.tabIndex = current ? 0 : -1;
  }
  studioUpdateLink();
}

function studioMakeStrip(number, count, first) {
  const strip = studioElement('strip');
  strip.replaceChildren();
  for (let frame = 1; frame <= count; ++frame) {
    const button = document.createElement('button');
    button.dataset.frame = String(frame);
    button.setAttribute('aria-label', `Frame ${frame}`);
    button.tabIndex = -1;
    button.addEventListener('click', () => studioShowFrameNumber(frame));
    strip.append(button);
    studioQueue(() => {
      if (studio.costume !== number) return;
      const canvas = studioFrameCanvas(frame);
      if (canvas && button.isConnected) {
        const copy = document.createElement('canvas');
        copy.width = canvas.width;
        copy.height = canvas.height;
        copy.getContext('2d').drawImage(canvas, 0, 0);
        button.append(studioFit(copy, kStripPicture, kStripPicture));
      }
    }, first);
  }
}

function studioMakePalette(number, info) {
  const palette = studioElement('palette');
  palette.replaceChildren();
  studioElement('swatch-info').textContent = '';
  if (info.status !== 'loaded') return;
  const at = ccall('StudioPalette', 'number', ['number'], [number]);
  if (!at) return;
  const entries = Math.min(info.colourCount, 256);
  for (let index = 0; index < entries; ++index) {
    const [red, green, blue] = HEAPU8.subarray(at + index * 3, at + index * 3 + 3);
    const hex = `#${[red, green, blue].map((value) => value.toString(16).padStart(2, '0')).join('')}`;
    const swatch = document.createElement('span');
    swatch.className = 'swatch';
    swatch.setAttribute('role', 'img');
    swatch.tabIndex = index === 0 ? 0 : -1;
    swatch.style.background = hex;
    swatch.title = `Index ${index}: ${hex}`;
    swatch.setAttribute('aria-label', swatch.title);
    const tell = () => { studioElement('swatch-info').textContent = swatch.title; };
    swatch.addEventListener('mouseenter', tell);
    swatch.addEventListener('focus', tell);
    palette.append(swatch);
  }
}

function studioShowFrameNumber(frame) {
  studio.frame = frame;
  studioShowFrame();
}

// One frame on (or back), round the end.
function studioStep(by) {
  const count = studioFrameCount();
  if (count === 0) return;
  studio.frame = ((studio.frame - 1 + by) % count + count) % count + 1;
  studioShowFrame();
}

function studioSetZoom(zoom) {
  studio.zoom = Math.min(kZoomLevels, Math.max(1, zoom));
  studioElement('zoom').value = String(studio.zoom);
  studioShowFrame();
}

// The transparent index or the background changed: every frame is drawn again.
function studioRedraw() {
  const view = studioElement('frame-view');
  view.classList.toggle('checker', studioElement('background').value === 'checkerboard');
  view.style.backgroundColor =
    studioElement('background').value === 'colour' ? studioElement('background-colour').value : '';
  if (!studio.open) return;
  for (const tile of studio.tiles.values()) tile.remove();
  studio.tiles.clear();
  studioLayOutTiles();
  studioSelect(studio.costume, studio.frame);
}

// --- Playback ------------------------------------------------------------------------------

function studioNumber(id, range, fallback) {
  const value = Number(studioElement(id).value);
  return Number.isInteger(value) && value >= range[0] && value <= range[1] ? value : fallback;
}

function studioFps() {
  return studioNumber('fps', studio.defaults.fpsRange, studio.defaults.fps);
}

// Frames are shown on a schedule of whole periods from the start, so that the rate holds
// however long each takes, and never faster than asked.
function studioPlay(playing) {
  studio.playing = playing;
  studioElement('play').textContent = playing ? 'Pause' : 'Play';
  clearTimeout(studio.timer);
  if (!playing) return;
  studio.nextAt = performance.now() + 1000 / studioFps();
  studio.timer = setTimeout(studioTick, 1000 / studioFps());
}

function studioTick() {
  if (!studio.playing) return;
  studioStep(1);
  const period = 1000 / studioFps();
  const now = performance.now();
  studio.nextAt = Math.max(studio.nextAt + period, now);
  studio.timer = setTimeout(studioTick, studio.nextAt - now);
}

// --- Deep links ----------------------------------------------------------------------------

function studioReadLink() {
  const fields = new URLSearchParams(location.hash.replace(/^#/, ''));
  const number = (name) => (fields.has(name) && /^\d+$/.test(fields.get(name)) ? Number(fields.get(name)) : null);
  return { view: fields.get('view'), costume: number('costume'), frame: number('frame'), zoom: number('zoom') };
}

function studioUpdateLink() {
  if (!studio.open && studio.wanted) return;  // kept until a game is open
  const fields = new URLSearchParams();
  if (!studioElement('viewer-view').hidden) fields.set('view', 'viewer');
  if (studio.open) {
    fields.set('costume', String(studio.costume));
    fields.set('frame', String(studio.frame));
    fields.set('zoom', String(studio.zoom));
  }
  const hash = fields.toString();
  if (location.hash.replace(/^#/, '') !== hash) history.replaceState(null, '', hash ? `#${hash}` : location.pathname + location.search);
}

// --- Views ---------------------------------------------------------------------------------

function studioShown() {
  return !studioElement('studio-view').hidden;
}

function studioShowView(name) {
  studioElement('viewer-view').hidden = name !== 'viewer';
  studioElement('studio-view').hidden = name !== 'studio';
  if (name !== 'studio') studioPlay(false);
  if (name === 'studio' && studio.open) studioLayOutTiles();
  studioUpdateLink();
  studioFocusView();
}

// The keyboard to the view shown: the viewer's canvas, or the chosen costume's tile.
function studioFocusView() {
  if (!studioShown()) {
    pageCanvas.focus({ preventScroll: true });
    return;
  }
  const tile = studio.tiles.get(studio.costume);
  (tile ?? studioElement('studio-open')).focus({ preventScroll: true });
}

// Called by the viewer's open once the shell has opened the game: the studio opens it too.
function studioGameOpened(folder, name) {
  studioPlay(false);
  ++studio.generation;
  studio.work = [];
  studio.infos.clear();
  for (const tile of studio.tiles.values()) tile.remove();
  studio.tiles.clear();
  const opened = studioCall('StudioOpen', ['string'], [folder + name]);
  studio.open = opened.ok;
  studioElement('studio-empty').hidden = opened.ok;
  studioElement('studio-main').hidden = !opened.ok;
  studioElement('studio-game').textContent = opened.ok ? name : '';
  if (!opened.ok) {
    studio.listed = 0;
    studioUpdateLink();
    return;
  }
  studio.indexName = name;
  studio.listed = opened.listedCount;
  const wanted = studio.wanted ?? {};
  studio.wanted = null;
  studioElement('filter').value = '';
  studioApplyFilter();
  if (wanted.zoom !== null && wanted.zoom !== undefined) studio.zoom = Math.min(kZoomLevels, Math.max(1, wanted.zoom));
  studioElement('zoom').value = String(studio.zoom);
  const costume = wanted.costume >= 1 && wanted.costume <= studio.listed ? wanted.costume : 1;
  if (studio.listed > 0) studioSelect(costume, wanted.frame ?? 1, false);
  else studioElement('tile-count').textContent = 'The game has no costumes.';
  // The first tiles go into the page's first picture of the game rather than one after it.
  studioRunSlice();
}

// --- Downloads -----------------------------------------------------------------------------

function studioLog(lines) {
  const log = studioElement('export-log');
  for (const line of lines) {
    const entry = document.createElement('div');
    entry.textContent = line;
    log.append(entry);
  }
  log.scrollTop = log.scrollHeight;
}

// The options every download shares, as the tool's options name them.
function studioImageOptions() {
  const d = studio.defaults;
  return {
    fps: studioFps(),
    scale: studioNumber('scale', d.scaleRange, d.scale),
    transparent: studioTransparent(),
  };
}

function studioGifOptions() {
  return Object.assign(studioImageOptions(), { format: 'gif' });
}

function studioSheetOptions() {
  const d = studio.defaults;
  return Object.assign(studioImageOptions(), {
    sheet: true,
    layout: studioElement('layout').value,
    sheetJson: studioElement('sheet-json').value,
    padding: studioNumber('padding', d.paddingRange, d.padding),
  });
}

function studioPaletteOptions() {
  return { palette: studioElement('palette-format').value, paletteOnly: true, transparent: studioTransparent() };
}

// Runs the export library's export into a folder of the module's memory and takes the files
// it wrote out of it: { ok, messages, files: [{ name, bytes }] }, the files by name.
function studioExport(options) {
  const folder = `/exports/${++studio.exports}`;
  const reply = studioCall('StudioExport', ['string'], [JSON.stringify(Object.assign({}, options, { out: folder }))]);
  const files = [];
  if (FS.analyzePath(folder).exists) {
    for (const name of FS.readdir(folder).sort()) {
      if (name.startsWith('.')) continue;
      files.push({ name, bytes: FS.readFile(`${folder}/${name}`) });
    }
    for (const name of FS.readdir(folder)) {
      if (name !== '.' && name !== '..') FS.unlink(`${folder}/${name}`);
    }
    FS.rmdir(folder);
  }
  return Object.assign(reply, { files });
}

function studioSave(name, parts, type) {
  const url = URL.createObjectURL(new Blob(parts, { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  link.hidden = true;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function studioZip(files) {
  const entries = {};
  for (const file of files) entries[file.name] = file.bytes;
  return fflate.zipSync(entries, { level: 6 });
}

// One download of the chosen costume: the files the export writes, one as it is, several as
// a zip named `zipName`.
function studioDownload(options, zipName) {
  const number = studio.costume;
  const result = studioExport(Object.assign({}, options, { costumes: String(number) }));
  studioLog(result.messages);
  if (result.files.length === 0) {
    if (result.messages.length === 0) studioLog([`Costume ${number}: nothing to write.`]);
    return;
  }
  if (zipName) {
    studioSave(zipName, [studioZip(result.files)], 'application/zip');
  } else {
    const file = result.files[0];
    studioSave(file.name, [file.bytes], 'application/octet-stream');
  }
}

function studioCostumeName(number) {
  return `costume-${String(number).padStart(4, '0')}`;
}

// Every costume, as the four downloads make it, into one zip: a few costumes per call, the
// progress shown between calls, until the end or Cancel.
async function studioDownloadEverything() {
  if (studio.everything || !studio.open) return;
  const job = { cancelled: false };
  studio.everything = job;
  const generation = studio.generation;
  const total = studio.listed;
  const progress = studioElement('everything-progress');
  const text = studioElement('everything-text');
  progress.max = total;
  progress.value = 0;
  text.textContent = `Costume 0 of ${total}`;
  studioElement('everything').hidden = false;
  studioElement('download-everything').disabled = true;
  const kinds = [studioGifOptions(), studioSheetOptions(), studioImageOptions(), studioPaletteOptions()];
  const parts = [];
  let zipFault = null;
  const zip = new fflate.Zip((fault, data) => {
    if (fault) zipFault = fault; else parts.push(data);
  });
  const said = new Set();
  let done = 0;
  let batch = 1;
  // The page reacts between two calls unless the next, taking as long as the last, still ends
  // within a slice of two; and always before the zip is made, so that a Cancel is heard.
  let sliceStarted = performance.now();
  const letPageReact = async (always, lastCallMs) => {
    if (!always && performance.now() - sliceStarted + lastCallMs < 2 * kSliceMs) return;
    await studioYield();
    sliceStarted = performance.now();
  };
  try {
    while (done < total && !job.cancelled && generation === studio.generation) {
      const last = Math.min(total, done + batch);
      let slowest = 0;
      for (const kind of kinds) {
        const started = performance.now();
        const result = studioExport(Object.assign({}, kind, { costumes: `${done + 1}-${last}` }));
        const took = performance.now() - started;
        slowest = Math.max(slowest, took);
        studioLog(result.messages.filter((line) => !said.has(line) && said.add(line)));
        for (const file of result.files) {
          // PNG and GIF are compressed already: stored as they are.
          const stored = /\.(png|gif)$/.test(file.name);
          const entry = stored ? new fflate.ZipPassThrough(file.name) : new fflate.ZipDeflate(file.name, { level: 6 });
          zip.add(entry);
          entry.push(file.bytes, true);
        }
        await letPageReact(false, took);
        if (job.cancelled) break;
      }
      // As many costumes next time as the slowest kind took kExportCallMs for, at most twice
      // as many as now.
      const size = last - done;
      batch = Math.max(1, Math.min(size * 2, Math.floor(size * kExportCallMs / Math.max(slowest, 0.1))));
      if (job.cancelled) break;
      done = last;
      progress.value = done;
      text.textContent = `Costume ${done} of ${total}`;
    }
    await letPageReact(true, 0);
    if (job.cancelled || generation !== studio.generation) {
      studioLog(['Download everything: cancelled.']);
      return;
    }
    zip.end();
    if (zipFault) throw zipFault;
    studioSave(`${studio.indexName.replace(/\.[^.]*$/, '')}-costumes.zip`, parts, 'application/zip');
  } finally {
    studio.everything = null;
    studioElement('everything').hidden = true;
    studioElement('download-everything').disabled = false;
  }
}

// --- Keys ----------------------------------------------------------------------------------

// Up and Down choose the costume among those shown, Left and Right the frame, Space plays and
// pauses, + and - zoom. A text field, a list or a slider keeps its own keys.
function studioKey(event) {
  if (!studioShown() || !studio.open || document.querySelector('dialog[open]')) return;
  if (event.altKey || event.ctrlKey || event.metaKey) return;
  const target = event.target;
  if (['INPUT', 'SELECT', 'TEXTAREA'].includes(target.tagName)) return;
  const onTile = target.classList?.contains('tile');
  if (target.closest?.('#palette') && (event.key === 'ArrowLeft' || event.key === 'ArrowRight')) {
    const next = event.key === 'ArrowLeft' ? target.previousElementSibling : target.nextElementSibling;
    if (next) {
      target.tabIndex = -1;
      next.tabIndex = 0;
      next.focus();
    }
    event.preventDefault();
    return;
  }
  switch (event.key) {
    case 'ArrowUp':
    case 'ArrowDown': {
      const at = studio.numbers.indexOf(studio.costume);
      const next = studio.numbers[at < 0 ? 0 : at + (event.key === 'ArrowUp' ? -1 : 1)];
      if (next !== undefined) {
        studioSelect(next);
        if (onTile) studio.tiles.get(next)?.focus({ preventScroll: true });
      }
      break;
    }
    case 'ArrowLeft':
    case 'ArrowRight':
      studioStep(event.key === 'ArrowLeft' ? -1 : 1);
      if (target.closest?.('#strip')) studioElement('strip').children[studio.frame - 1]?.focus();
      break;
    case ' ':
      // Another button's Space is its click.
      if (target.tagName === 'BUTTON' && !onTile && !target.closest('#strip')) return;
      studioPlay(!studio.playing);
      break;
    case '+':
      studioSetZoom(studio.zoom + 1);
      break;
    case '-':
    case '−':
      studioSetZoom(studio.zoom - 1);
      break;
    default:
      return;
  }
  event.preventDefault();
}

// --- Start ---------------------------------------------------------------------------------

function studioFillChoices(select, names, chosen) {
  select.replaceChildren(...names.map((name) => {
    const option = document.createElement('option');
    option.value = option.textContent = name;
    option.selected = name === chosen;
    return option;
  }));
}

function studioSetNumberInput(id, range, value) {
  const input = studioElement(id);
  input.min = String(range[0]);
  input.max = String(range[1]);
  input.value = value === null ? '' : String(value);
}

function studioStart() {
  const d = studioCall('StudioDefaults', [], []);
  studio.defaults = d;
  FS.mkdirTree('/exports');
  studioFillChoices(studioElement('layout'), d.layouts, d.layout);
  studioFillChoices(studioElement('sheet-json'), d.sheetJsons, d.sheetJson);
  studioFillChoices(studioElement('palette-format'), d.palettes, d.palettes[0]);
  studioSetNumberInput('fps', d.fpsRange, d.fps);
  studioSetNumberInput('scale', d.scaleRange, d.scale);
  studioSetNumberInput('padding', d.paddingRange, d.padding);
  studioSetNumberInput('transparent', d.transparentRange, d.transparent);
  const zoom = studioElement('zoom');
  zoom.replaceChildren(...Array.from({ length: kZoomLevels }, (_, at) => {
    const option = document.createElement('option');
    option.value = String(at + 1);
    option.textContent = `${at + 1}×`;
    return option;
  }));

  // The studio is the page's main view; #view=viewer opens the viewer's instead.
  const link = studioReadLink();
  studio.wanted = link;
  studioShowView(link.view === 'viewer' ? 'viewer' : 'studio');

  studioElement('to-studio').addEventListener('click', () => studioShowView('studio'));
  studioElement('to-viewer').addEventListener('click', () => studioShowView('viewer'));
  studioElement('studio-open').addEventListener('click', () => studioElement('open').click());
  studioElement('studio-open-folder').addEventListener('click', () => studioElement('open-folder').click());
  studioElement('filter').addEventListener('input', studioApplyFilter);
  studioElement('tiles').addEventListener('scroll', studioLayOutTiles, { passive: true });
  window.addEventListener('resize', () => {
    if (studioShown() && studio.open) studioLayOutTiles();
  });
  studioElement('play').addEventListener('click', () => studioPlay(!studio.playing));
  studioElement('step-back').addEventListener('click', () => studioStep(-1));
  studioElement('step-on').addEventListener('click', () => studioStep(1));
  zoom.addEventListener('change', () => studioSetZoom(Number(zoom.value)));
  studioElement('fps').addEventListener('change', () => {
    if (studio.playing) studioPlay(true);
  });
  for (const id of ['background', 'background-colour']) studioElement(id).addEventListener('input', studioRedraw);
  studioElement('transparent').addEventListener('change', studioRedraw);
  studioElement('download-gif').addEventListener('click', () => studioDownload(studioGifOptions()));
  studioElement('download-sheet').addEventListener('click', () =>
    studioDownload(studioSheetOptions(), `${studioCostumeName(studio.costume)}-sheet.zip`));
  studioElement('download-frames').addEventListener('click', () =>
    studioDownload(studioImageOptions(), `${studioCostumeName(studio.costume)}-frames.zip`));
  studioElement('download-palette').addEventListener('click', () => studioDownload(studioPaletteOptions()));
  studioElement('download-everything').addEventListener('click', () => {
    studioDownloadEverything().catch((fault) => {
      console.error(fault);
      studioLog([`Download everything failed: ${fault.message ?? fault}`]);
    });
  });
  studioElement('everything-cancel').addEventListener('click', () => {
    if (studio.everything) studio.everything.cancelled = true;
  });
  document.addEventListener('keydown', studioKey);
  window.addEventListener('hashchange', () => {
    const asked = studioReadLink();
    if (!studio.open || asked.costume === null) return;
    if (asked.zoom !== null) studio.zoom = Math.min(kZoomLevels, Math.max(1, asked.zoom));
    studioElement('zoom').value = String(studio.zoom);
    if (asked.costume >= 1 && asked.costume <= studio.listed) studioSelect(asked.costume, asked.frame ?? 1);
  });
  // The manifest makes the page installable and the service worker keeps it for use offline;
  // a page opened from the disk can have neither (its browser refuses to read the manifest).
  if (/^https?:$/.test(location.protocol)) {
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.append(manifest);
  }
  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    navigator.serviceWorker.register('sw.js').catch((fault) => console.warn('No offline copy:', fault));
  }
}
