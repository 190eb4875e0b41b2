// What every browser test needs: Debian's Chromium, headless, in a fresh profile; a static
// server for a folder on 127.0.0.1; a watch on the page's console; and bounded waits.
// puppeteer-core never downloads a browser of its own.
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize, sep } from 'node:path';
import puppeteer from 'puppeteer-core';

export const kChromium = process.env.DUZURORO_CHROMIUM || '/usr/bin/chromium';
// The longest any single wait may take; the whole of a test is bounded by its runner too.
export const kWaitMs = Number(process.env.DUZURORO_BROWSER_WAIT_MS || 20000);

// Starts headless Chromium in a profile of its own; close() ends it and removes the profile.
export async function launchChromium() {
  const profile = await mkdtemp(join(tmpdir(), 'duzuroro-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    timeout: kWaitMs,
    protocolTimeout: kWaitMs * 3,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      // Canvas pixels are compared exactly: no colour management in between.
      '--force-color-profile=srgb',
      `--user-data-dir=${profile}`,
    ],
  });
  return {
    browser,
    async close() {
      await browser.close().catch(() => {});
      await rm(profile, { recursive: true, force: true });
    },
  };
}

const kContentTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.css': 'text/css; charset=utf-8',
  '.png': 'image/png',
  '.gif': 'image/gif',
};

// Serves the files of `folder` (and nothing above it) on 127.0.0.1 at a free port.
export async function serveFolder(folder) {
  const root = normalize(folder + sep);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': kContentTypes[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// Collects what a page says is wrong: console errors, uncaught exceptions, failed requests.
export function watchPage(page) {
  const faults = [];
  page.on('console', (message) => {
    if (message.type() === 'error') faults.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => faults.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) =>
    faults.push(`request failed: ${request.url()} ${request.failure()?.errorText}`));
  page.on('response', (response) => {
    if (response.status() >= 400) faults.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  return faults;
}
