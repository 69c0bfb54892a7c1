// The browser build end to end in one of the engines players use: our page
// as a player meets it, with the desktop's pixels.
//   node browser_test.mjs ENGINE WEB_FOLDER ARTEFACTS_FOLDER
// ENGINE is chromium, firefox or webkit (see engines.mjs); each check names
// the engines it runs in.
import { cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { setTimeout as sleep } from 'node:timers/promises';
import pngjs from 'pngjs';
import { countRefreshes, drivenRefreshes, refreshTimes } from './chromium.mjs';
import { desktop, engineNames, launch } from './engines.mjs';
import { serve } from '../../web/serve.mjs';

const [engine, folder, artefacts] = process.argv.slice(2);
mkdirSync(artefacts, { recursive: true });

const everywhere = engineNames;
const byTouch = ['chromium', 'firefox'];
const chromiumOnly = ['chromium'];
// Where a script can run before the page's own: the pacing checks count and drive its frames.
const scriptsFirst = ['chromium', 'firefox'];
// Headless Chromium shows full screen in the window it has.
const fullScreenKeepsWindow = ['chromium'];

// The desktop's colours; a bubble over the background within 1 per channel.
const background = [245, 245, 245];
const playerColor = [0, 228, 48];
const black = [0, 0, 0];
const goalColor = [0, 121, 241];
const bubbleOverBackground = [141, 219, 249];

let passed = 0;
let failed = 0;
async function check(name, engines, body) {
  if (!engines.includes(engine)) return;
  const started = Date.now();
  try {
    await body();
    passed++;
    console.log(`ok    ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  } catch (error) {
    failed++;
    console.log(`FAIL  ${name}: ${error.message}`);
  }
}

function expect(condition, message) {
  if (!condition) throw new Error(message);
}

function near(color, expected, tolerance = 0) {
  return color.every((c, i) => Math.abs(c - expected[i]) <= tolerance);
}

function expectColor(shot, x, y, expected, what) {
  const color = shot.at(x, y);
  expect(near(color, expected), `${what} at (${x}, ${y}) is ${color}, not ${expected}`);
}

// Asks `probe` until its answer holds, for at most `seconds`, a limit that
// only catches a hang; returns the last answer.
async function waitUntil(probe, holds = (answer) => answer, seconds = 20) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const answer = await probe();
    if (holds(answer) || Date.now() > deadline) return answer;
    await sleep(50);
  }
}

// Lets `count` of the page's frames go by, for checks that something did not happen.
function framesPass(page, count = 10) {
  return page.evaluate(async (count) => {
    for (let i = 0; i < count; i++) await new Promise(requestAnimationFrame);
  }, count);
}

// Where the canvas is in the window, for clicks and screenshots.
function canvasBox(page) {
  return page.evaluate(() => {
    const { x, y, width, height } = document.getElementById('canvas').getBoundingClientRect();
    return { x, y, width, height };
  });
}

// The canvas as the window shows it, the window kept as `file` when given.
async function screenshot(page, file) {
  const box = await canvasBox(page);
  const png = await page.screenshot();
  if (file) writeFileSync(file, png);
  const image = pngjs.PNG.sync.read(png);
  const [left, top] = [Math.round(box.x), Math.round(box.y)];
  const at = (x, y) => {
    const i = ((top + y) * image.width + left + x) * 4;
    return [...image.data.subarray(i, i + 3)];
  };
  return { width: Math.round(box.width), height: Math.round(box.height), at };
}

// Errors of the pages closed so far.
const pageErrors = [];
async function closePage(page) {
  pageErrors.push(...(await page.errors()));
  await page.close();
}

function artefact(name) {
  return join(artefacts, `web-${engine}-${name}.png`);
}

// Screenshots until `ready` holds of one; the last is kept as `name`.
function waitForShot(page, name, ready, seconds = 20) {
  return waitUntil(() => screenshot(page, artefact(name)), ready, seconds);
}

// null while the page is between documents (a reload).
function statusText(page) {
  return page.evaluate(() => document.getElementById('status').textContent).catch(() => null);
}

function waitForStatus(page, pattern, seconds = 20) {
  return waitUntil(() => statusText(page), (text) => pattern.test(text), seconds);
}

// The player's box in the shot's pixels: found on a 5-pixel grid, its
// edges followed exactly.
function playerBox(shot) {
  const player = (x, y) => near(shot.at(x, y), playerColor);
  for (let y = 0; y < shot.height; y += 5) {
    for (let x = 0; x < shot.width; x += 5) {
      if (!player(x, y)) continue;
      let [left, right, top, bottom] = [x, x, y, y];
      while (left > 0 && player(left - 1, y)) left--;
      while (right + 1 < shot.width && player(right + 1, y)) right++;
      while (top > 0 && player(x, top - 1)) top--;
      while (bottom + 1 < shot.height && player(x, bottom + 1)) bottom++;
      return { left, right, top, bottom };
    }
  }
  return null;
}

// Watches the frames the game draws from now on, each read back in the page
// as it is drawn, for one that shows `color` (within `tolerance`) in the
// game's rectangle { x, y, width, height }: under load, screenshots can come
// further apart than a jump or a rising bubble lasts. Resolves to a probe
// that answers null until then, and then that frame as a shot in game
// pixels, black outside the rectangle, with the page's time it was drawn.
// The page reads after the game has drawn; read before, a frame is blank
// and never matches.
let watches = 0;
async function watchFrames(page, rect, color, tolerance = 0) {
  const id = watches++;
  await page.evaluate((id, { x, y, width, height }, color, tolerance) => {
    const gl = document.getElementById('canvas').getContext('webgl');
    const pixels = new Uint8Array(width * height * 4);
    window.driftmoorFrames ??= {};
    const look = (time) => {
      gl.readPixels(x, 720 - y - height, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
      for (let i = 0; i < pixels.length; i += 4) {
        if (!color.every((c, k) => Math.abs(pixels[i + k] - c) <= tolerance)) continue;
        let text = '';
        for (let j = 0; j < pixels.length; j += 0x8000) text += String.fromCharCode(...pixels.subarray(j, j + 0x8000));
        window.driftmoorFrames[id] = { time, pixels: btoa(text) };
        return;
      }
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  }, id, rect, color, tolerance);
  return async () => {
    const frame = await page.evaluate((id) => window.driftmoorFrames[id] ?? null, id);
    if (!frame) return null;
    const pixels = Buffer.from(frame.pixels, 'base64');
    const at = (x, y) => {
      if (x < rect.x || x >= rect.x + rect.width || y < rect.y || y >= rect.y + rect.height) return [0, 0, 0];
      const i = ((rect.y + rect.height - 1 - y) * rect.width + x - rect.x) * 4; // rows bottom up
      return [...pixels.subarray(i, i + 3)];
    };
    return { width: 1280, height: 720, at, time: frame.time };
  };
}

// Left edge of the player, -1 where it is not shown.
function playerLeft(shot) {
  return playerBox(shot)?.left ?? -1;
}

// Screenshots while the player walks until it is right of `from` (in game
// pixels); returns where it got to.
async function walkedPast(page, name, from) {
  const left = (shot) => playerLeft(shot) / (shot.width / 1280);
  return left(await waitForShot(page, name, (shot) => left(shot) > from));
}

// The player stands on level 1's floor: its lowest row, in game pixels, is
// the one above the floor's top at 670.
function landed(shot) {
  const player = playerBox(shot);
  const scale = shot.width / 1280;
  return player !== null && Math.abs((player.bottom + 1) / scale - 670) <= 1 / scale;
}

// The bubble's middle in a frame, from its disc over the background between
// columns `from` and `to`: exact across, while it rises it is above where it
// was made.
function bubbleAt(frame, from, to) {
  let left = Infinity, right = -1, top = Infinity, bottom = -1;
  for (let y = 0; y < frame.height; y++) {
    for (let x = from; x < to; x++) {
      if (!near(frame.at(x, y), bubbleOverBackground, 2)) continue;
      left = Math.min(left, x); right = Math.max(right, x);
      top = Math.min(top, y); bottom = Math.max(bottom, y);
    }
  }
  return right < 0 ? null : { x: (left + right + 1) / 2, y: (top + bottom + 1) / 2 };
}

// Presses (clicks or taps) near game point (x, y) and expects its bubble
// where pressed: its middle within `across` CSS pixels, and no lower than the
// point, in the first frame that shows it. Returns that frame (the columns
// near the point, as watchFrames gives them).
async function blowBubble(page, name, press, x, y, across = 1) {
  const at = await pointAt(page, x, y);
  const from = Math.max(0, Math.round(at.game.x) - 80), to = Math.min(1280, Math.round(at.game.x) + 80);
  const frame = await watchFrames(page, { x: from, y: 0, width: to - from, height: 720 }, bubbleOverBackground, 2);
  await press(page, at);
  const shot = await waitUntil(frame);
  const bubble = shot && bubbleAt(shot, from, to);
  if (!bubble) await screenshot(page, artefact(name));
  expect(bubble, `no bubble near x ${at.game.x}`);
  const scale = (await canvasBox(page)).width / 1280;
  const off = (bubble.x - at.game.x) * scale;
  expect(Math.abs(off) <= across, `bubble made at x ${bubble.x.toFixed(1)}, ${off.toFixed(1)} CSS pixels from ${at.game.x}`);
  expect(bubble.y <= at.game.y + 1 / scale, `bubble at y ${bubble.y.toFixed(1)}, below ${at.game.y}`);
  return shot;
}

// The canvas lies wholly in the window, unscrolled, once the page has
// fitted it after a resize.
async function expectWholeCanvas(page, what) {
  const fit = await waitUntil(() => page.evaluate(() => {
    const { x, y, width, height } = document.getElementById('canvas').getBoundingClientRect();
    const whole = x >= 0 && y >= 0 && x + width <= innerWidth && y + height <= innerHeight && scrollY === 0;
    return { whole, text: `canvas ${width} x ${height} at (${x}, ${y}) in ${innerWidth} x ${innerHeight} scrolled ${scrollY}` };
  }), (fit) => fit.whole);
  expect(fit.whole, `${what}: ${fit.text}`);
}

// Boxes of the touch buttons by name, those not shown left out.
function touchButtons(page) {
  return page.evaluate(() => Object.fromEntries([...document.querySelectorAll('.pad button')]
    .filter((b) => b.offsetWidth > 0)
    .map((b) => { const r = b.getBoundingClientRect(); return [b.ariaLabel, { x: r.x, y: r.y, width: r.width, height: r.height }]; })));
}

// Where a pointer lands near game point (x, y): on a whole CSS pixel, as
// emscripten hands raylib whole pixels; `game` is the game point under it.
async function pointAt(page, x, y) {
  const box = await canvasBox(page);
  const [px, py] = [Math.round(box.x + (x * box.width) / 1280), Math.round(box.y + (y * box.height) / 720)];
  return { x: px, y: py, game: { x: ((px - box.x) * 1280) / box.width, y: ((py - box.y) * 720) / box.height } };
}

// Ways to press at a point from pointAt.
const click = (page, at) => page.click(at.x, at.y);
const tap = async (page, at) => (await page.touch(at.x, at.y)).lift();

// Presses near game point (x, y).
async function pressCanvas(page, press, x, y) {
  await press(page, await pointAt(page, x, y));
}

async function clickElement(page, selector) {
  const [x, y] = await page.evaluate((selector) => {
    const r = document.querySelector(selector).getBoundingClientRect();
    return [Math.round(r.x + r.width / 2), Math.round(r.y + r.height / 2)];
  }, selector);
  await page.click(x, y);
}

// The game's pixel (x, y) in a screenshot of the canvas at any size.
function atGame(shot, x, y) {
  const scale = shot.width / 1280;
  return shot.at(Math.round(x * scale), Math.round(y * scale));
}

// The game runs: no message, and the intro's player in its place.
async function expectGameStarts(page, name) {
  const text = await waitForStatus(page, /^$/);
  expect(text === '', `status still says "${text}"`);
  const shot = await waitForShot(page, name, (s) => near(atGame(s, 35, 35), playerColor));
  expect(near(atGame(shot, 35, 35), playerColor), `the intro's player sample is ${atGame(shot, 35, 35)}`);
}

async function startLevelOne(page, press) {
  await expectGameStarts(page, 'intro-scaled');
  await pressCanvas(page, press, 640, 400);
  const ready = (s) => near(atGame(s, 640, 675), black) && landed(s);
  expect(ready(await waitForShot(page, 'level1-scaled', ready)), 'level 1 did not start with the player on its floor');
}

// The box { left, top, right, bottom } of every pixel of `color`, or null.
function colorBox(shot, color) {
  let box = null;
  for (let y = 0; y < shot.height; y++) {
    for (let x = 0; x < shot.width; x++) {
      if (!near(shot.at(x, y), color)) continue;
      box ??= { left: x, top: y, right: x, bottom: y };
      box = { left: Math.min(box.left, x), top: box.top, right: Math.max(box.right, x), bottom: y };
    }
  }
  return box;
}

// Screenshots until two in a row agree on what `read` finds; returns it.
async function stillAt(page, name, read) {
  let last;
  const now = await waitUntil(async () => {
    const [before, found] = [last, read(await screenshot(page, artefact(name)))];
    last = found;
    return { found, same: found !== null && JSON.stringify(found) === JSON.stringify(before) };
  }, (answer) => answer.same);
  return now.same ? now.found : null;
}

// A copy of the folder, served by a server of its own, whose page runs
// `scripts` before its own in a script tag: WebKit's driver runs none before a page.
async function servedWith(...scripts) {
  const copy = mkdtempSync(join(tmpdir(), 'driftmoor-scripted-'));
  cpSync(folder, copy, { recursive: true });
  const index = readFileSync(join(copy, 'index.html'), 'utf8');
  writeFileSync(join(copy, 'index.html'), index.replace('<head>', `<head>${scripts.map((s) => `<script>(${s})()</script>`).join('')}`));
  const own = await serve(copy);
  return { url: own.url, async close() { await own.close(); rmSync(copy, { recursive: true, force: true }); } };
}

// A scripted pad with the standard mapping in place of the browser's pads,
// run before the page's scripts: window.fakePad.plug(connected), set({ axes,
// buttons }) by index, and pulse(...buttons), pressed for one read only.
function fakeGamepad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
  const pad = { id: 'Scripted pad', index: 0, connected: false, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0], buttons };
  let pulsed = [];
  Navigator.prototype.getGamepads = function () {
    if (!pad.connected) return [null, null, null, null];
    const read = buttons.map((b, i) => (pulsed.includes(i) ? { pressed: true, touched: true, value: 1 } : { ...b }));
    pulsed = [];
    return [{ ...pad, timestamp: performance.now(), axes: [...pad.axes], buttons: read }, null, null, null];
  };
  window.fakePad = {
    plug(connected) {
      pad.connected = connected;
      // GamepadEvent's constructor takes no scripted pad.
      const event = new Event(connected ? 'gamepadconnected' : 'gamepaddisconnected');
      event.gamepad = { ...pad };
      window.dispatchEvent(event);
    },
    set({ axes = {}, buttons: held = {} }) {
      Object.assign(pad.axes, axes);
      for (const [i, value] of Object.entries(held)) buttons[i] = { pressed: value > 0.5, touched: value > 0, value };
    },
    pulse(...which) { pulsed = which; },
  };
}

const server = await serve(folder);
const browser = await launch(engine);
try {
  const page = await browser.open(server.url, { ...desktop, before: scriptsFirst.includes(engine) ? countRefreshes : undefined });

  await check('the page loads: title, version, no message once the game runs', everywhere, async () => {
    const [title, version] = await page.evaluate(() => [document.title, document.getElementById('version').textContent]);
    expect(title === 'Driftmoor', `title "${title}"`);
    expect(/^Driftmoor \d+\.\d+\.\d+$/.test(version), `version line "${version}"`);
    const text = await waitForStatus(page, /^$/);
    expect(text === '', `status still says "${text}"`);
    // Served, the WebAssembly streams from its own file, never from the file page's copy.
    const fetched = await page.evaluate(() => performance.getEntriesByType('resource').map((r) => r.name.split('/').pop()));
    expect(fetched.includes('driftmoor.wasm') && !fetched.includes('driftmoor-wasm.js'), `fetched ${fetched.join(', ')}`);
  });

  await check('intro screen: the desktop colours, the page behind never shows through', everywhere, async () => {
    const shot = await waitForShot(page, 'intro', (s) => near(s.at(35, 35), playerColor));
    expect(shot.width === 1280, `the canvas shows ${shot.width} wide, not 1:1`);
    expectColor(shot, 1200, 700, background, 'background');
    expectColor(shot, 35, 35, playerColor, 'player sample');
    expectColor(shot, 35, 82, black, 'platform sample');
    const bubble = shot.at(35, 275);
    expect(near(bubble, bubbleOverBackground, 1), `legend bubble is ${bubble}, desktop ${bubbleOverBackground}`);
  });

  await check('a click starts level 1', everywhere, async () => {
    await pressCanvas(page, click, 640, 400);
    const shot = await waitForShot(page, 'level1', (s) => near(s.at(640, 675), black) && landed(s));
    expectColor(shot, 640, 675, black, 'floor');
    expect(landed(shot), 'the player never landed on the floor');
    expectColor(shot, 1105, 75, goalColor, 'goal');
    expectColor(shot, 640, 400, background, 'background');
  });

  await check('D held walks right, Space jumps', everywhere, async () => {
    const start = playerLeft(await screenshot(page));
    await page.keyDown('d');
    await walkedPast(page, 'walking', start);
    await page.keyUp('d');
    await framesPass(page);
    const end = playerLeft(await screenshot(page, artefact('walked')));
    // Steps of 5 pixels a frame; how many depends on the machine's speed.
    expect(start >= 0 && end - start >= 5 && (end - start) % 5 === 0, `from x ${start} to ${end}`);
    const stood = playerBox(await waitForShot(page, 'landed-again', landed));
    const above = { x: Math.round((stood.left + stood.right) / 2), y: stood.top - 10 };
    const jumped = await watchFrames(page, { ...above, width: 1, height: 1 }, playerColor);
    await page.keyDown(' ');
    const seen = await waitUntil(jumped);
    await page.keyUp(' ');
    expect(seen, `Space: the player never showed at (${above.x}, ${above.y}), above where it stood`);
  });

  await check('in play no refresh holds more game frames than its gap holds, nor more than four', scriptsFirst, async () => {
    // The first with a clear also holds raylib's as the window opens. Each
    // count is of the refresh before it, whose own gap is the one before that.
    const [all, times] = await page.evaluate(() => [window.refreshes, window.refreshTimes]);
    const first = all.findIndex((frames) => frames > 0) + 2;
    expect(all.length - first > 60, `only ${all.length - first} animation frames`);
    for (let i = Math.max(first, 3); i < all.length; i++) {
      // Either of the two gaps next to it, should the page's callback come first.
      const gap = Math.max(times[i - 1] - times[i - 2], times[i] - times[i - 1]);
      const most = Math.min(4, Math.ceil(gap / (1000 / 60)));
      expect(all[i] <= most, `a refresh ${gap.toFixed(1)} ms after the one before held ${all[i]} game frames`);
    }
  });

  await check('driven refreshes: 60 game frames a second at 30, 50, 60 and 120 Hz, and no burst after a stall', scriptsFirst, async () => {
    const driven = await browser.open(server.url, { ...desktop, before: drivenRefreshes });
    await waitForStatus(driven, /^$/);
    const drive = (times) => driven.evaluate((t) => window.driveRefreshes(t), times);
    let start = 1000;
    for (const [count, hz, frames, least, most] of [[240, 120, 120, 0, 1], [120, 60, 120, 1, 1], [240, 30, 480, 2, 2], [300, 50, 360, 1, 2]]) {
      // The display's rate is learnt from its first refreshes.
      await drive(refreshTimes(20, hz, start, 0.5));
      const drawn = await drive(refreshTimes(count, hz, start + 20000 / hz, 0.5));
      start += (count + 20) * 1000 / hz + 1000;
      const total = drawn.reduce((a, b) => a + b, 0);
      const [low, high] = [Math.min(...drawn), Math.max(...drawn)];
      expect(Math.abs(total - frames) <= 2 && low >= least && high <= most,
        `${count} refreshes at ${hz} Hz drew ${total} frames, ${low} to ${high} in one`);
    }
    // 50 Hz still, then one refresh 500 ms late.
    const stalled = await drive([start - 1000 + 500]);
    expect(stalled[0] <= 2, `a refresh 500 ms late drew ${stalled[0]} frames`);
    await closePage(driven);
  });

  await check('a click blows its bubble where clicked, in the desktop colour on a dark page', everywhere, async () => {
    const pageColor = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
    expect(pageColor !== 'rgb(255, 255, 255)', `the page is white (${pageColor})`);
    // In a column the player, wherever it walked to, is not in.
    const x = playerLeft(await screenshot(page)) < 640 ? 900 : 300;
    const shot = await blowBubble(page, 'bubble', click, x, 500);
    // The bubble's column: its disc over the background, whole, above the floor.
    const inside = [];
    for (let y = 150; y < 660; y++) if (!near(shot.at(x, y), background)) inside.push(y);
    expect(inside.length >= 95 && inside.length <= 101, `${inside.length} pixels of bubble in its column`);
    for (const y of inside) {
      const color = shot.at(x, y);
      expect(near(color, bubbleOverBackground, 1), `bubble at (${x}, ${y}) is ${color}`);
    }
  });

  await check('no context menu on the canvas', everywhere, async () => {
    const shown = await page.evaluate(() => document.getElementById('canvas')
      .dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true })));
    expect(!shown, 'the context menu was not prevented');
  });

  await check('Space and arrows scroll the page only when the canvas has no focus', everywhere, async () => {
    // The page fits its window; a host's page around it may not.
    const scrollable = await page.evaluate(() => {
      document.body.insertAdjacentHTML('beforeend', '<div id="tall" style="height:2000px"></div>');
      return document.documentElement.scrollHeight > window.innerHeight;
    });
    expect(scrollable, 'the page is too short to scroll');
    await pressCanvas(page, click, 640, 300);
    for (const key of [' ', 'ArrowDown', 'ArrowRight']) await page.press(key);
    await framesPass(page);
    expect((await page.evaluate(() => window.scrollY)) === 0, 'the page scrolled while the canvas had focus');
    await page.evaluate(() => document.getElementById('canvas').blur());
    await page.press(' ');
    const scrolled = await waitUntil(() => page.evaluate(() => window.scrollY), (y) => y > 0);
    expect(scrolled > 0, 'Space did not scroll the page without focus');
    await page.evaluate(() => { window.scrollTo(0, 0); document.getElementById('tall').remove(); });
  });

  await check('a lost WebGL context: nothing drawn while lost, then play goes on where it was, in its colours', everywhere, async () => {
    const own = await servedWith(countRefreshes);
    const page = await browser.open(own.url, desktop);
    try {
      await startLevelOne(page, click);
      // The bubble before the loss, in a column of its own: it rises on after the restore.
      await blowBubble(page, 'bubble-before-loss', click, 300, 500);
      const x = 900;
      const before = playerBox(await screenshot(page));
      const drawn = await page.evaluate(async () => {
        window.lossTest = document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
        const lost = new Promise((done) => document.getElementById('canvas').addEventListener('webglcontextlost', done, { once: true }));
        window.lossTest.loseContext();
        await lost;
        const frames = window.gameFrames;
        for (let i = 0; i < 30; i++) await new Promise(requestAnimationFrame);
        return window.gameFrames - frames;
      });
      expect(drawn === 0, `${drawn} frames drawn while the context was lost`);
      await page.evaluate(async () => {
        const frames = window.gameFrames;
        window.lossTest.restoreContext();
        while (window.gameFrames < frames + 2) await new Promise(requestAnimationFrame);
      });
      const after = playerBox(await screenshot(page, artefact('restored')));
      expect(after && after.left === before.left, `the player was at x ${before.left}, is at ${after && after.left}`);
      // A bubble still translucent over the background: blending is back.
      const bubble = await blowBubble(page, 'bubble-after-loss', click, x, 500);
      const inside = [];
      for (let y = 150; y < 660; y++) if (!near(bubble.at(x, y), background)) inside.push(bubble.at(x, y));
      expect(inside.length > 0 && inside.every((c) => near(c, bubbleOverBackground, 1)), `the bubble after the loss is ${inside[0]}`);
      const start = after.left;
      await page.keyDown('d');
      await walkedPast(page, 'walking-after-loss', start);
      await page.keyUp('d');
    } finally {
      await closePage(page);
      await own.close();
    }
  });

  await check('a WebGL context lost for good: the page says so and offers a reload, which plays again', chromiumOnly, async () => {
    const lost = await browser.open(server.url, desktop);
    try {
      await expectGameStarts(lost, 'before-lost-for-good');
      await lost.evaluate(() => document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context').loseContext());
      const text = await waitForStatus(lost, /lost/);
      expect(/^The game's graphics were lost\. Reload to play again; if the game does not show, /.test(text), `status says "${text}"`);
      const focused = await lost.evaluate(() => document.activeElement.id);
      expect(focused === 'reload', `the focus is on "${focused}", not the Reload button`);
      await clickElement(lost, '#reload');
      await expectGameStarts(lost, 'reloaded-after-loss');
    } finally {
      await closePage(lost);
    }
  });

  await check('Escape ends the game, and "Play again" starts it afresh at the intro', everywhere, async () => {
    await pressCanvas(page, click, 640, 300);
    await page.press('Escape');
    const text = await waitForStatus(page, /ended/);
    expect(text === 'The game has ended.', `status says "${text}"`);
    await screenshot(page, artefact('ended'));
    const focused = await page.evaluate(() => document.activeElement.textContent);
    expect(focused === 'Play again', `the focus is on "${focused}"`);
    await clickElement(page, '#again');
    await expectGameStarts(page, 'played-again');
  });

  await check('laptop and small windows: the whole canvas shows, a click blows its bubble where it is', everywhere, async () => {
    const laptop = await browser.open(server.url, { width: 1536, height: 730 });
    expect(Object.keys(await touchButtons(laptop)).length === 0, 'touch buttons on a desktop');
    await expectWholeCanvas(laptop, '1536 x 730');
    await startLevelOne(laptop, click);
    await blowBubble(laptop, 'laptop-bubble', click, 900, 500);
    for (const [width, height] of [[1280, 600], [1024, 600]]) {
      await laptop.resize(width, height);
      await expectWholeCanvas(laptop, `${width} x ${height}`);
    }
    await clickElement(laptop, '#fullscreen');
    // Full screen is on once the window covers the screen and the game spans
    // its width or height, but for the page's rounding to whole and centred
    // pixels. The window grows in steps, some of which the game spans too.
    const spans = await waitUntil(() => laptop.evaluate((keepsWindow) => {
      const r = document.getElementById('canvas').getBoundingClientRect();
      const covers = keepsWindow || (innerWidth === screen.width && innerHeight === screen.height);
      return !!document.fullscreenElement && covers && (innerWidth - r.width <= 2 || innerHeight - r.height <= 2);
    }, fullScreenKeepsWindow.includes(engine)));
    expect(spans, 'full screen did not come on');
    await expectWholeCanvas(laptop, 'full screen');
    const focus = await laptop.evaluate(() => document.activeElement.id);
    expect(focus === 'canvas', `in full screen the focus is on "${focus}"`);
    await blowBubble(laptop, 'fullscreen-bubble', click, 400, 450);
    await closePage(laptop);
  });

  await check('a phone by touch: the whole canvas shows, taps and held buttons act where and as they should', byTouch, async () => {
    const phone = { width: 844, height: 390, touch: true };
    // As on an iPhone, which cannot show a page full screen.
    const noFullScreen = () => Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => false });
    const page = await browser.open(server.url, { ...phone, before: noFullScreen });
    expect(await page.evaluate(() => document.getElementById('fullscreen').hidden), 'a full screen button that cannot work');
    await expectWholeCanvas(page, '844 x 390');
    const box = await canvasBox(page);
    const buttons = await touchButtons(page);
    for (const name of ['Walk left', 'Walk right', 'Jump', 'Restart area']) {
      const b = buttons[name];
      expect(b && b.width >= 48 && b.height >= 48, `${name}: ${JSON.stringify(b)}`);
      expect(b.x >= box.x + box.width || b.x + b.width <= box.x, `${name} over the game`);
    }
    await startLevelOne(page, tap);
    await blowBubble(page, 'phone-bubble', tap, 900, 500);

    // Held, "Walk right" walks, through a tap on the game, and on after the
    // tap lifts: it reaches a point ahead in a frame drawn after the lift.
    const scale = box.width / 1280;
    const player = playerBox(await screenshot(page));
    const ahead = (x) => ({ x, y: Math.round((player.top + player.bottom) / 2 / scale), width: 1, height: 1 });
    const walking = await watchFrames(page, ahead(Math.round(player.right / scale) + 10), playerColor);
    const reached = await watchFrames(page, ahead(1200), playerColor);
    await page.evaluate(() => addEventListener('touchend', (event) => { window.driftmoorLifted = event.timeStamp; }, { once: true, capture: true }));
    const button = buttons['Walk right'];
    const walk = await page.touch(Math.round(button.x + button.width / 2), Math.round(button.y + button.height / 2));
    expect(await waitUntil(walking), 'holding "Walk right" does not walk');
    await blowBubble(page, 'phone-walk-bubble', tap, 300, 450);
    const there = await waitUntil(reached);
    await walk.lift();
    const lifted = await page.evaluate(() => window.driftmoorLifted);
    expect(there && there.time > lifted, there ? `at x 1200 ${(lifted - there.time).toFixed(0)} ms before the tap lifted`
      : 'walking stopped once the tap lifted');
    // Cancelled, a touch on the game or a button neither focuses, zooms,
    // scrolls, selects nor opens a menu.
    const kept = await page.evaluate(() => [...document.querySelectorAll('#canvas, .pad button')].filter((target) =>
      target.dispatchEvent(new TouchEvent('touchstart', { bubbles: true, cancelable: true }))).map((t) => t.ariaLabel));
    expect(kept.length === 0, `touches left to the browser on ${kept.join(', ')}`);

    await page.resize(667, 375);
    await expectWholeCanvas(page, '667 x 375');
    await page.resize(390, 844);
    const portrait = await waitUntil(() => canvasBox(page), (b) => b.width === 390);
    expect(portrait.x === 0 && portrait.width === 390, `portrait canvas ${portrait.width} wide at x ${portrait.x}`);
    const below = Object.values(await touchButtons(page)).every((b) => b.y >= portrait.y + portrait.height);
    expect(below, 'in portrait the buttons are not below the game');
    await closePage(page);
  });

  await check('where loading fails the page says so', chromiumOnly, async () => {
    const noWasm = await browser.open(server.url, { ...desktop, before: () => { delete window.WebAssembly; } });
    const without = await waitForStatus(noWasm, /could not/);
    expect(/WebAssembly/.test(without), `without WebAssembly: "${without}"`);
    await noWasm.close();
    // The game's script or WebAssembly missing, or the script cut short as by a broken download.
    const script = await (await fetch(new URL('driftmoor.js', server.url))).text();
    const losses = [['driftmoor.js', 'missing', null], ['driftmoor.js', 'cut short', script.slice(0, script.length >> 1)],
      ['driftmoor.wasm', 'missing', null]];
    for (const [file, what, body] of losses) {
      const lost = await browser.open(server.url, desktop);
      await lost.raw.setBypassServiceWorker(true);
      await lost.raw.setRequestInterception(true);
      lost.raw.on('request', (r) => (!r.url().endsWith(file) ? r.continue()
        : r.respond(body === null ? { status: 404, body: '' } : { status: 200, contentType: 'text/javascript', body })));
      await lost.reload();
      const text = await waitForStatus(lost, /could not/);
      expect(/could not/.test(text), `${file} ${what}: "${text}"`);
      await lost.close();
    }
  });

  await check('a gamepad alone plays: starts, walks by stick and d-pad, jumps, aims and blows, restarts, stops unplugged', everywhere, async () => {
    const own = await servedWith(fakeGamepad);
    const page = await browser.open(own.url, desktop);
    try {
      await expectGameStarts(page, 'pad-intro');
      const pad = (method, ...args) => page.evaluate((m, a) => window.fakePad[m](...a), method, args);
      const zero = (values = {}) => Object.fromEntries(Object.keys(values).map((i) => [i, 0]));
      const whileHeld = async (held, name, reached) => {
        await pad('set', held);
        const shot = await waitForShot(page, name, reached);
        await pad('set', { axes: zero(held.axes), buttons: zero(held.buttons) });
        expect(reached(shot), `${JSON.stringify(held)} held: no ${name}`);
        return playerLeft(shot);
      };
      await pad('plug', true);
      const start = await whileHeld({ buttons: { 7: 1 } }, 'level 1', (s) => near(s.at(640, 675), black) && landed(s));
      const right = await whileHeld({ axes: { 0: 1 } }, 'walk right by stick', (s) => playerLeft(s) > start + 40);
      await whileHeld({ buttons: { 14: 1 } }, 'walk left by d-pad', (s) => playerLeft(s) >= 0 && playerLeft(s) < right - 20);

      const stood = playerBox(await waitForShot(page, 'pad-landed', landed));
      const above = { x: Math.round((stood.left + stood.right) / 2), y: stood.top - 10 };
      const jumped = await watchFrames(page, { ...above, width: 1, height: 1 }, playerColor);
      await pad('pulse', 0);
      expect(await waitUntil(jumped), 'a press of the south button seen by one poll did not jump');

      const white = (s) => colorBox(s, [255, 255, 255]);
      // Tilted 0.4, the aim moves 36 pixels a second: far from the edge when a slow screenshot comes.
      await whileHeld({ axes: { 2: 0.4 } }, 'aim moved right', (s) => white(s)?.left > 700);
      const aim = await stillAt(page, 'pad-aim', white);
      expect(aim, 'the aim did not stay still');
      // The aim's middle, as its cross's pixels give it, within a pixel or two.
      await blowBubble(page, 'pad-bubble', () => pad('pulse', 5), (aim.left + aim.right + 1) / 2, (aim.top + aim.bottom + 1) / 2, 2);

      await whileHeld({ buttons: { 3: 1 } }, 'restart', (s) => playerLeft(s) === start);
      await pad('set', { axes: { 0: 1 } });
      await waitForShot(page, 'pad-walking', (s) => playerLeft(s) > start + 20);
      await pad('plug', false);
      const unplugged = playerLeft(await screenshot(page));
      // Stopped within a few frames, not by the wall at the level's end.
      const stopped = await stillAt(page, 'pad-unplugged', playerBox);
      expect(stopped && stopped.left - unplugged <= 50 && stopped.right < 1260,
        `the walk went on after the pad was unplugged at x ${unplugged}: ${JSON.stringify(stopped)}`);
    } finally {
      await closePage(page);
      await own.close();
    }
  });

  await check("the build's web folder, opened from a file as the unzipped zip is, plays", everywhere, async () => {
    const page = await browser.open(pathToFileURL(join(folder, 'index.html')).href, desktop);
    await expectGameStarts(page, 'from-file');
    await closePage(page);
  });

  await check('once visited, two builds on one host, at / and /beta/, each play again with the server gone', everywhere, async () => {
    // The second build: the same files, kept under a cache name of its own.
    const beta = mkdtempSync(join(tmpdir(), 'driftmoor-beta-'));
    cpSync(folder, beta, { recursive: true });
    const worker = readFileSync(join(beta, 'sw.js'), 'utf8');
    const betaWorker = worker.replace(/[0-9a-f]{16}'/, "beta'");
    expect(betaWorker !== worker, 'no cache hash found in sw.js');
    writeFileSync(join(beta, 'sw.js'), betaWorker);
    const own = await serve({ '/': folder, '/beta/': beta });
    const pages = [];
    try {
      for (const path of ['', 'beta/']) {
        const page = await browser.open(own.url + path, desktop);
        pages.push(page);
        await expectGameStarts(page, `online-${path ? 'beta' : 'root'}`);
        // Kept once the page's own worker, its files cached, controls it.
        const kept = await waitUntil(() => page.evaluate(() =>
          navigator.serviceWorker.controller?.scriptURL === new URL('sw.js', location.href).href));
        expect(kept, `no service worker of its own keeps /${path}`);
      }
      own.close();
      own.closeAllConnections();
      for (const [i, page] of pages.entries()) {
        await page.reload();
        await expectGameStarts(page, `offline-${i ? 'beta' : 'root'}`);
      }
    } finally {
      own.close();
      for (const page of pages) await closePage(page);
      rmSync(beta, { recursive: true, force: true });
    }
  });
  await check('on AZERTY the key labelled A walks left, and so does Q in its US place', chromiumOnly, async () => {
    const page = await browser.open(server.url, desktop);
    await startLevelOne(page, click);
    const at = async () => { const shot = await screenshot(page); return playerLeft(shot) / (shot.width / 1280); };
    // puppeteer's keyboard cannot send a letter from another key's place; the DevTools protocol can.
    const cdp = await page.raw.createCDPSession();
    for (const [key, code] of [['a', 'KeyQ'], ['q', 'KeyA']]) {
      const from = await at();
      const send = (type) => cdp.send('Input.dispatchKeyEvent', { type, key, code });
      await send('keyDown');
      await waitUntil(at, (x) => x >= 0 && x < from);
      await send('keyUp');
      const stopped = await at();
      expect(stopped >= 0 && stopped < from, `key "${key}" on ${code} walked from x ${from} to ${stopped}`);
      // Released, or D would cancel it out: D alone walks right again.
      await page.keyDown('d');
      const after = await walkedPast(page, `right-after-${key}`, stopped);
      await page.keyUp('d');
      expect(after > stopped, `after key "${key}" on ${code} was let go, D walked from x ${stopped} to ${after}`);
    }
    await closePage(page);
  });

  await closePage(page);
  await check('no script errors on any page', everywhere, async () => {
    expect(pageErrors.length === 0, pageErrors.join('; '));
  });
} finally {
  await browser.close();
  server.close();
}

console.log(`${passed} passed, ${failed} failed in ${engine}`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
