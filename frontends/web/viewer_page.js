// The page around the viewer: its menu, keys, chosen and dropped files, dialogs and canvas.
// Appended to emscripten's output, so it sees the module's FS, ccall and exports directly.
//
// Every call into the shell runs in one queue, one at a time. The messages a call reports
// are shown afterwards one by one, and the canvas shows the call's picture only once the
// last of them is acknowledged, as a desktop window behind a message box would.

// Dropped folders are walked this deep, no deeper.
const kDropDepth = 8;

const pageCanvas = document.getElementById('screen');
const pageContext = pageCanvas.getContext('2d');
const pageErrors = [];
let pageDirty = null;
let pageDirtyPixels = 0;
let pageQueue = Promise.resolve();
let pagePending = 0;
let pageStarted = false;
let pageOpenCount = 0;

// Called by the front-end: the RGBA pixels at `rgba` changed inside the rectangle.
function pageCanvasChanged(rgba, left, top, right, bottom) {
  pageDirtyPixels = rgba;
  pageDirty = pageDirty
    ? { left: Math.min(pageDirty.left, left), top: Math.min(pageDirty.top, top),
        right: Math.max(pageDirty.right, right), bottom: Math.max(pageDirty.bottom, bottom) }
    : { left: left, top: top, right: right, bottom: bottom };
}

// Called by the front-end for every reported error.
function pageQueueError(text) {
  pageErrors.push(text);
}

function pagePaint() {
  if (!pageDirty) return;
  const width = pageCanvas.width;
  const height = pageCanvas.height;
  // The view is made afresh each time: memory growth replaces the module's buffer.
  const pixels = new Uint8ClampedArray(HEAPU8.buffer, pageDirtyPixels, width * height * 4);
  const d = pageDirty;
  pageContext.putImageData(new ImageData(pixels, width, height), 0, 0,
                           d.left, d.top, d.right - d.left, d.bottom - d.top);
  pageDirty = null;
}

// Shows a modal dialog; resolves with its return value once it is closed (Escape too).
function pageShowDialog(dialog) {
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true });
    dialog.returnValue = '';
    dialog.showModal();
  });
}

async function pageShowErrors() {
  const dialog = document.getElementById('error');
  while (pageErrors.length) {
    document.getElementById('error-text').textContent = pageErrors.shift();
    await pageShowDialog(dialog);
  }
}

// Runs `task` after everything queued before it. The canvas is busy while any task waits.
function pageEnqueue(task) {
  ++pagePending;
  pageCanvas.setAttribute('aria-busy', 'true');
  pageQueue = pageQueue.then(task).catch((fault) => console.error(fault)).then(() => {
    if (--pagePending === 0) pageCanvas.setAttribute('aria-busy', 'false');
  });
  return pageQueue;
}

// One call into the shell, its messages, then its picture.
async function pageCallShell(call) {
  call();
  await pageShowErrors();
  pagePaint();
}

// --- Files --------------------------------------------------------------------------------

// A chosen file and the folder it came from ('' when files were chosen one by one).
function pageEntry(file, relativePath) {
  const cut = relativePath.lastIndexOf('/');
  return { file: file, folder: cut < 0 ? '' : relativePath.slice(0, cut), path: relativePath };
}

// The index file to open: the only one chosen, or the one the user picks; null for none.
async function pagePickIndexFile(entries) {
  const candidates = entries.filter(
    (entry) => ccall('WebIsIndexFileName', 'boolean', ['string'], [entry.file.name]));
  if (candidates.length === 0) {
    await pageShowDialog(document.getElementById('no-index'));
    return null;
  }
  if (candidates.length === 1) return candidates[0];
  candidates.sort((a, b) => a.path.localeCompare(b.path));
  const list = document.getElementById('index-choices');
  list.replaceChildren(...candidates.map((entry, at) => {
    const button = document.createElement('button');
    button.value = String(at + 1);
    button.textContent = entry.path;
    return button;
  }));
  const answer = await pageShowDialog(document.getElementById('choose-index'));
  return answer ? candidates[Number(answer) - 1] : null;
}

function pageRemoveFolder(path) {
  for (const name of FS.readdir(path)) {
    if (name !== '.' && name !== '..') FS.unlink(path + '/' + name);
  }
  FS.rmdir(path);
}

// Copies the index file and the files beside it into the module's file system and opens the
// game there. The archive finds the disk files by its own rules; only files whose names begin
// with the game's base name are copied, so that a folder's other large files stay out.
// A file the browser cannot read (gone, or too large for its memory) opens nothing: the
// shown game stays, as after a cancelled dialog, and the Error dialog says why.
async function pageOpenGame(index, entries) {
  const folder = `/games/${++pageOpenCount}`;
  const baseName = index.file.name.replace(/\.[^.]*$/, '').toLowerCase();
  FS.mkdirTree(folder);
  try {
    // Read all at once: each read waits on the browser, not on the page.
    const wanted = entries.filter((entry) => entry.folder === index.folder &&
                                             entry.file.name.toLowerCase().startsWith(baseName));
    const contents = await Promise.all(wanted.map((entry) => entry.file.arrayBuffer()));
    wanted.forEach((entry, at) => FS.writeFile(`${folder}/${entry.file.name}`, new Uint8Array(contents[at])));
  } catch (fault) {
    pageRemoveFolder(folder);
    pageQueueError('Failed to read from a file.');
    await pageShowErrors();
    return;
  }
  await pageCallShell(() => ccall('WebOpen', null, ['string', 'string'], [folder + '/', index.file.name]));
  studioGameOpened(folder + '/', index.file.name);
  // The viewer of any earlier game is gone, and with it its open files.
  for (const name of FS.readdir('/games')) {
    if (name !== '.' && name !== '..' && `/games/${name}` !== folder) pageRemoveFolder(`/games/${name}`);
  }
}

function pageOpenChosen(entries) {
  if (!pageStarted || entries.length === 0) return;
  pageEnqueue(async () => {
    const index = await pagePickIndexFile(entries);
    if (index) await pageOpenGame(index, entries);
    studioFocusView();
  });
}

// The files of a drop, folders walked; each with its path below the drop.
async function pageDroppedEntries(dataTransfer) {
  const roots = [];
  for (const item of dataTransfer.items) {
    const root = item.kind === 'file' && item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
    if (root) roots.push(root);
  }
  if (roots.length === 0) {
    return Array.from(dataTransfer.files, (file) => pageEntry(file, file.name));
  }
  const entries = [];
  const walk = async (entry, depth) => {
    const path = entry.fullPath.replace(/^\//, '');
    if (entry.isFile) {
      const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
      entries.push(pageEntry(file, path));
    } else if (entry.isDirectory && depth < kDropDepth) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0) break;
        for (const child of batch) await walk(child, depth + 1);
      }
    }
  };
  for (const root of roots) await walk(root, 0);
  return entries;
}

// --- Menu, inputs, keys, drops -------------------------------------------------------------

const pageFileMenu = document.getElementById('file-menu');
const pageFileItems = document.getElementById('file-items');

function pageShowMenu(shown) {
  pageFileItems.hidden = !shown;
  pageFileMenu.setAttribute('aria-expanded', String(shown));
}

pageFileMenu.addEventListener('click', () => pageShowMenu(pageFileItems.hidden));
document.addEventListener('click', (event) => {
  if (!pageFileMenu.contains(event.target)) pageShowMenu(false);
});
document.addEventListener('keydown', (event) => {
  if (event.key === 'Escape' && !pageFileItems.hidden) pageShowMenu(false);
});

// The two menu items and the file inputs they open.
for (const pair of [['menu-open', 'open'], ['menu-open-folder', 'open-folder']]) {
  const chooser = document.getElementById(pair[1]);
  document.getElementById(pair[0]).addEventListener('click', () => {
    pageShowMenu(false);
    chooser.click();
  });
  chooser.addEventListener('change', () => {
    const files = Array.from(chooser.files);
    chooser.value = '';  // choosing the same files again is a new choice
    pageOpenChosen(files.map((file) => pageEntry(file, file.webkitRelativePath || file.name)));
  });
}

// The module says which keys are the viewer's and what the shell calls them.
pageCanvas.addEventListener('keydown', (event) => {
  if (!runtimeInitialized || event.altKey || event.ctrlKey || event.metaKey) return;
  const key = ccall('WebShellKey', 'number', ['string'], [event.code]);
  if (key === 0) return;
  event.preventDefault();  // the arrows must not scroll the page
  if (pageStarted) pageEnqueue(() => pageCallShell(() => _WebPressKey(key)));
});

document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dropping');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dropping');
  pageDroppedEntries(event.dataTransfer).then(pageOpenChosen, (fault) => console.error(fault));
});

// --- Start ---------------------------------------------------------------------------------

function pageShowProgramIcon() {
  const size = 32;
  const pixels = _WebProgramIconRgba(size);
  if (!pixels) return;
  const icon = document.createElement('canvas');
  icon.width = icon.height = size;
  const rgba = new Uint8ClampedArray(HEAPU8.buffer, pixels, size * size * 4);
  icon.getContext('2d').putImageData(new ImageData(rgba.slice(), size, size), 0, 0);
  document.querySelector('link[rel="icon"]').href = icon.toDataURL('image/png');
}

function pageStart() {
  FS.mkdirTree('/games');
  pageShowProgramIcon();
  studioStart();
  pageEnqueue(() => pageCallShell(() => {
    pageStarted = _WebStart();
  })).then(studioFocusView);
}

if (runtimeInitialized) {
  pageStart();
} else {
  Module['onRuntimeInitialized'] = pageStart;
}
