// Debian's chromium, headless, driven by puppeteer-core: shared by the
// browser test (through engines.mjs) and the benchmark.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

// Software WebGL, and none of the background connections this closed
// network would refuse.
const flags = [
  '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run', '--disable-quic',
];

// A browser with a fresh empty profile, removed again by close().
export async function launchChromium() {
  const profile = mkdtempSync(join(tmpdir(), 'driftmoor-chromium-'));
  const executablePath = execFileSync('which', ['chromium']).toString().trim();
  const browser = await puppeteer.launch({ executablePath, headless: true, userDataDir: profile, args: flags });
  return {
    browser,
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A desktop window with room for the game at 1:1 beside the page's lines.
export const desktop = { width: 1400, height: 900 };

// Opens the page at `url` in a window of `viewport` (puppeteer's Viewport:
// size, touch, mobile layout); `before` runs in the page before any of its scripts.
export async function openPage(browser, url, before, viewport = desktop) {
  const page = await browser.newPage();
  await page.setViewport({ deviceScaleFactor: 1, ...viewport });
  if (before) await page.evaluateOnNewDocument(before);
  await page.goto(url);
  return page;
}

// Where the canvas is on the page, for clicks.
async function canvasBox(page) {
  return page.$eval('#canvas', (canvas) => {
    const r = canvas.getBoundingClientRect();
    return { x: r.x + window.scrollX, y: r.y + window.scrollY, width: r.width, height: r.height };
  });
}

// Where the game's pixel (x, y) is shown on the page, at whatever size.
async function gamePoint(page, x, y) {
  const box = await canvasBox(page);
  return { x: box.x + (x * box.width) / 1280, y: box.y + (y * box.height) / 720 };
}

// Clicks at (x, y) in game pixels, holding the button a little as a hand does.
export async function clickCanvas(page, x, y) {
  const at = await gamePoint(page, x, y);
  await page.mouse.click(at.x, at.y, { delay: 30 });
}

// Seconds of the page's main thread so far: busy with tasks (Chromium's
// TaskDuration, wall time, which grows with whatever else the machine runs)
// and on the CPU (its ThreadTime).
export async function mainThreadSeconds(page) {
  if (!page.driftmoorMetrics) {
    page.driftmoorMetrics = await page.createCDPSession();
    await page.driftmoorMetrics.send('Performance.enable');
  }
  const { metrics } = await page.driftmoorMetrics.send('Performance.getMetrics');
  const value = (name) => metrics.find((m) => m.name === name).value;
  return { busy: value('TaskDuration'), cpu: value('ThreadTime') };
}

// For openPage's `before`: window.refreshes holds, for each of the page's
// animation frames, how many game frames the one before drew (the game's
// frames run after this loop's callback), counted by the WebGL clears that
// begin each; window.refreshTimes, their timestamps.
export function countRefreshes() {
  window.gameFrames = 0;
  window.refreshes = [];
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) {
    window.gameFrames++;
    return clear.call(this, mask);
  };
  window.refreshTimes = [];
  let seen = 0;
  const refresh = (time) => {
    window.refreshTimes.push(time);
    window.refreshes.push(window.gameFrames - seen);
    seen = window.gameFrames;
    requestAnimationFrame(refresh);
  };
  requestAnimationFrame(refresh);
}

// For openPage's `before`: the page's animation frames come only when
// driven, with the timestamps given, and game frames are counted by the
// WebGL clears that begin each. window.driveRefreshes(times) runs one
// refresh a timestamp, each once the game is done with the one before, and
// resolves to the game frames each refresh drew.
export function drivenRefreshes() {
  window.gameFrames = 0;
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) {
    window.gameFrames++;
    return clear.call(this, mask);
  };
  let waiting = [];
  window.requestAnimationFrame = (callback) => waiting.push(callback);
  window.driveRefreshes = async (times) => {
    const frames = [];
    for (const time of times) {
      const before = window.gameFrames;
      const callbacks = waiting;
      waiting = [];
      for (const callback of callbacks) callback(time);
      // The game's frame runs as soon as its callback's promise settles.
      await new Promise((done) => setTimeout(done, 0));
      frames.push(window.gameFrames - before);
    }
    return frames;
  };
}

// `count` refresh timestamps `1000 / hz` ms apart from `start`, each moved
// by up to ±`jitter` ms, the same every run, as a display's are.
export function refreshTimes(count, hz, start = 1000, jitter = 0) {
  let random = 1;
  const wobble = () => 2 * jitter * ((random = (random * 16807) % 2147483647) / 2147483647 - 0.5);
  return Array.from({ length: count }, (_, n) => start + (n * 1000) / hz + wobble());
}
