// The browser build end to end in Debian's chromium: our page as a player
// meets it, with the desktop's pixels.
//   node browser_test.mjs WEB_FOLDER ARTEFACTS_FOLDER
import { cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { setTimeout as sleep } from 'node:timers/promises';
import { canvasBox, clickCanvas, countRefreshes, drivenRefreshes, gamePoint, launchChromium, openPage, refreshTimes,
  screenshot } from './chromium.mjs';
import { serve } from '../../web/serve.mjs';

const [folder, artefacts] = process.argv.slice(2);
mkdirSync(artefacts, { recursive: true });

// The desktop's colours; a bubble over the background within 1 per channel.
const background = [245, 245, 245];
const playerColor = [0, 228, 48];
const black = [0, 0, 0];
const goalColor = [0, 121, 241];
const bubbleOverBackground = [141, 219, 249];

let passed = 0;
let failed = 0;
async function check(name, body) {
  try {
    await body();
    passed++;
    console.log(`ok    ${name}`);
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
    await sleep(100);
  }
}

// Screenshots until `ready` holds of one; the last is kept in the artefacts
// as `name`.png.
async function waitForShot(page, name, ready, seconds = 20) {
  return waitUntil(() => screenshot(page, join(artefacts, `web-${name}.png`)), ready, seconds);
}

// Lets `count` of the page's frames go by, for checks that something did not happen.
async function framesPass(page, count = 10) {
  await page.evaluate((left) => new Promise((done) => {
    const next = () => (--left <= 0 ? done() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }), count);
}

async function statusText(page) {
  return page.$eval('#status', (status) => status.textContent);
}

async function waitForStatus(page, pattern, seconds = 10) {
  return waitUntil(() => statusText(page), (text) => pattern.test(text), seconds);
}

// Left edge of the player: the first column with its colour.
function playerLeft(shot) {
  for (let x = 0; x < shot.width; x++) {
    for (let y = 0; y < shot.height; y += 5) {
      if (near(shot.at(x, y), playerColor)) return x;
    }
  }
  return -1;
}

// The player stands on level 1's floor: the lowest row of its colour, in
// game pixels, is the one above the floor's top at 670.
function landed(shot) {
  const scale = shot.width / 1280;
  const x = playerLeft(shot) + Math.ceil(2 * scale);
  let bottom = -1;
  for (let y = 0; x > 0 && y < shot.height; y++) if (near(shot.at(x, y), playerColor)) bottom = y;
  return bottom >= 0 && Math.abs((bottom + 1) / scale - 670) <= 1 / scale;
}

// Screenshots while the player walks until it is right of `from` (in game
// pixels); returns where it got to.
async function walkedPast(page, name, from) {
  const left = (shot) => playerLeft(shot) / (shot.width / 1280);
  return left(await waitForShot(page, name, (shot) => left(shot) > from));
}

// The bubble's middle in game pixels, from its disc over the background
// between columns `from` and `to`: exact across, while it rises it is above
// where it was made.
function bubbleAt(shot, from, to) {
  const scale = shot.width / 1280;
  let left = Infinity, right = -1, top = Infinity, bottom = -1;
  for (let y = 0; y < shot.height; y++) {
    for (let x = Math.floor(from * scale); x < Math.min(to * scale, shot.width); x++) {
      if (!near(shot.at(x, y), bubbleOverBackground, 2)) continue;
      left = Math.min(left, x); right = Math.max(right, x);
      top = Math.min(top, y); bottom = Math.max(bottom, y);
    }
  }
  if (right < 0) return null;
  return { x: (left + right + 1) / 2 / scale, y: (top + bottom + 1) / 2 / scale, scale };
}

// A bubble was made at game point (x, y): its middle within a CSS pixel across,
// and no lower than the point.
async function expectBubbleAt(page, name, x, y) {
  const shot = await waitForShot(page, name, (s) => bubbleAt(s, x - 80, x + 80), 5);
  const bubble = bubbleAt(shot, x - 80, x + 80);
  expect(bubble, `no bubble near x ${x}`);
  const off = (bubble.x - x) * bubble.scale;
  expect(Math.abs(off) <= 1, `bubble made at x ${bubble.x.toFixed(1)}, ${off.toFixed(1)} CSS pixels from ${x}`);
  expect(bubble.y <= y + 1 / bubble.scale, `bubble at y ${bubble.y.toFixed(1)}, below ${y}`);
}

// The canvas lies wholly in the window, unscrolled, once the page has had
// a moment to fit it after a resize.
async function expectWholeCanvas(page, what) {
  let box, view, whole;
  for (let tries = 0; !whole && tries < 20; tries++) {
    if (tries) await sleep(100);
    box = await canvasBox(page);
    view = await page.evaluate(() => [window.innerWidth, window.innerHeight, window.scrollY]);
    whole = box.x >= 0 && box.y >= 0 && box.x + box.width <= view[0] && box.y + box.height <= view[1] && view[2] === 0;
  }
  expect(whole, `${what}: canvas ${box.width} x ${box.height} at (${box.x}, ${box.y}) in ${view[0]} x ${view[1]} scrolled ${view[2]}`);
}

// Boxes of the touch buttons by name, those not shown left out.
async function touchButtons(page) {
  return page.$$eval('.pad button', (buttons) => Object.fromEntries(buttons
    .filter((b) => b.offsetWidth > 0)
    .map((b) => { const r = b.getBoundingClientRect(); return [b.ariaLabel, { x: r.x, y: r.y, width: r.width, height: r.height }]; })));
}

// Where a finger lands near game point (x, y): on a whole CSS pixel, as
// emscripten hands raylib whole pixels; `game` is the game point under it.
async function fingerAt(page, x, y) {
  const box = await canvasBox(page);
  const at = await gamePoint(page, x, y);
  const [px, py] = [Math.round(at.x), Math.round(at.y)];
  return { x: px, y: py, game: { x: ((px - box.x) * 1280) / box.width, y: ((py - box.y) * 720) / box.height } };
}

// Taps near game point (x, y); returns the game point tapped.
async function tapCanvas(page, x, y) {
  const finger = await fingerAt(page, x, y);
  await page.touchscreen.tap(finger.x, finger.y);
  return finger.game;
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
  await press(page, 640, 400);
  const ready = (s) => near(atGame(s, 640, 675), black) && landed(s);
  expect(ready(await waitForShot(page, 'level1-scaled', ready)), 'level 1 did not start with the player on its floor');
}

const server = await serve(folder);
const chromium = await launchChromium();
try {
  const page = await openPage(chromium.browser, server.url, countRefreshes);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));

  await check('the page loads: title, version, no message once the game runs', async () => {
    expect((await page.title()) === 'Driftmoor', `title "${await page.title()}"`);
    const version = await page.$eval('#version', (v) => v.textContent);
    expect(/^Driftmoor \d+\.\d+\.\d+$/.test(version), `version line "${version}"`);
    const text = await waitForStatus(page, /^$/);
    expect(text === '', `status still says "${text}"`);
    // Served, the WebAssembly streams from its own file, never from the file page's copy.
    const fetched = await page.evaluate(() => performance.getEntriesByType('resource').map((r) => r.name.split('/').pop()));
    expect(fetched.includes('driftmoor.wasm') && !fetched.includes('driftmoor-wasm.js'), `fetched ${fetched.join(', ')}`);
  });

  await check('intro screen: the desktop colours, the page behind never shows through', async () => {
    const shot = await waitForShot(page, 'intro', (s) => near(s.at(35, 35), playerColor));
    expectColor(shot, 1200, 700, background, 'background');
    expectColor(shot, 35, 35, playerColor, 'player sample');
    expectColor(shot, 35, 82, black, 'platform sample');
    const bubble = shot.at(35, 275);
    expect(near(bubble, bubbleOverBackground, 1), `legend bubble is ${bubble}, desktop ${bubbleOverBackground}`);
  });

  await check('a click starts level 1', async () => {
    await clickCanvas(page, 640, 400);
    const shot = await waitForShot(page, 'level1', (s) => near(s.at(640, 675), black) && landed(s));
    expectColor(shot, 640, 675, black, 'floor');
    expect(landed(shot), 'the player never landed on the floor');
    expectColor(shot, 1105, 75, goalColor, 'goal');
    expectColor(shot, 640, 400, background, 'background');
  });

  await check('D held walks right', async () => {
    const start = playerLeft(await screenshot(page));
    await page.keyboard.down('d');
    await walkedPast(page, 'walking', start);
    await page.keyboard.up('d');
    await framesPass(page);
    const end = playerLeft(await screenshot(page, join(artefacts, 'web-walked.png')));
    // Steps of 5 pixels a frame; how many depends on the machine's speed.
    expect(start >= 0 && end - start >= 5 && (end - start) % 5 === 0, `from x ${start} to ${end}`);
  });

  await check('in play no animation frame holds two game frames', async () => {
    // The first with a clear also holds raylib's as the window opens.
    const all = await page.evaluate(() => window.refreshes);
    const refreshes = all.slice(all.findIndex((frames) => frames > 0) + 1);
    expect(refreshes.length > 60, `only ${refreshes.length} animation frames`);
    const most = Math.max(...refreshes);
    expect(most === 1, `an animation frame held ${most} game frames`);
  });

  await check('driven refreshes: 60 game frames a second at 120 Hz and at 60 Hz, one a refresh at most', async () => {
    const driven = await openPage(chromium.browser, server.url, drivenRefreshes);
    await waitForStatus(driven, /^$/);
    for (const [count, hz, frames, start] of [[240, 120, 120, 1000], [120, 60, 120, 4000]]) {
      const drawn = await driven.evaluate((times) => window.driveRefreshes(times), refreshTimes(count, hz, start));
      const total = drawn.reduce((a, b) => a + b, 0);
      expect(Math.abs(total - frames) <= 1 && Math.max(...drawn) === 1, `${count} refreshes at ${hz} Hz drew ${total} frames, at most ${Math.max(...drawn)} in one`);
    }
    await driven.close();
  });

  await check('a bubble over the background has the desktop colour on a dark page', async () => {
    const pageColor = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
    expect(pageColor !== 'rgb(255, 255, 255)', `the page is white (${pageColor})`);
    await clickCanvas(page, 900, 500);
    const shot = await screenshot(page, join(artefacts, 'web-bubble.png'));
    // The bubble's column: its disc over the background, whole, above the floor.
    const inside = [];
    for (let y = 150; y < 660; y++) if (!near(shot.at(900, y), background)) inside.push(y);
    expect(inside.length >= 95 && inside.length <= 101, `${inside.length} pixels of bubble in its column`);
    for (const y of inside) {
      const color = shot.at(900, y);
      expect(near(color, bubbleOverBackground, 1), `bubble at (900, ${y}) is ${color}`);
    }
  });

  await check('no context menu on the canvas', async () => {
    const shown = await page.$eval('#canvas', (canvas) =>
      canvas.dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true })));
    expect(!shown, 'the context menu was not prevented');
  });

  await check('Space and arrows scroll the page only when the canvas has no focus', async () => {
    // The page fits its window; a host's page around it may not.
    await page.evaluate(() => document.body.insertAdjacentHTML('beforeend', '<div id="tall" style="height:2000px"></div>'));
    const scrollable = await page.evaluate(() => document.documentElement.scrollHeight > window.innerHeight);
    expect(scrollable, 'the page is too short to scroll');
    await clickCanvas(page, 640, 300);
    for (const key of ['Space', 'ArrowDown', 'ArrowRight']) await page.keyboard.press(key);
    await framesPass(page);
    expect((await page.evaluate(() => window.scrollY)) === 0, 'the page scrolled while the canvas had focus');
    await page.$eval('#canvas', (canvas) => canvas.blur());
    await page.keyboard.press('Space');
    const scrolled = await waitUntil(() => page.evaluate(() => window.scrollY), (y) => y > 0);
    expect(scrolled > 0, 'Space did not scroll the page without focus');
    await page.evaluate(() => { window.scrollTo(0, 0); document.getElementById('tall').remove(); });
  });

  await check('Escape ends the game and the page says how to play again', async () => {
    await clickCanvas(page, 640, 300);
    await page.keyboard.press('Escape');
    const text = await waitForStatus(page, /ended/);
    expect(/ended/.test(text) && /[Rr]eload/.test(text), `status says "${text}"`);
    await screenshot(page, join(artefacts, 'web-ended.png'));
  });

  await check('no script errors on the page', async () => {
    expect(errors.length === 0, errors.join('; '));
  });

  await check('laptop and small windows: the whole canvas shows, a click blows its bubble where it is', async () => {
    const laptop = await openPage(chromium.browser, server.url, undefined, { width: 1536, height: 730 });
    expect(Object.keys(await touchButtons(laptop)).length === 0, 'touch buttons on a desktop');
    await expectWholeCanvas(laptop, '1536 x 730');
    await startLevelOne(laptop, clickCanvas);
    await clickCanvas(laptop, 900, 500);
    await expectBubbleAt(laptop, 'laptop-bubble', 900, 500);
    for (const [width, height] of [[1280, 600], [1024, 600]]) {
      await laptop.setViewport({ width, height, deviceScaleFactor: 1 });
      await expectWholeCanvas(laptop, `${width} x ${height}`);
    }
    await laptop.click('#fullscreen');
    // Full screen is on once the game spans the screen's width or height.
    await laptop.waitForFunction(() => {
      const r = document.getElementById('canvas').getBoundingClientRect();
      return document.fullscreenElement && (r.width === window.innerWidth || r.height === window.innerHeight);
    }, { timeout: 5000 });
    await expectWholeCanvas(laptop, 'full screen');
    const focus = await laptop.evaluate(() => document.activeElement.id);
    expect(focus === 'canvas', `in full screen the focus is on "${focus}"`);
    await clickCanvas(laptop, 400, 450);
    await expectBubbleAt(laptop, 'fullscreen-bubble', 400, 450);
    await laptop.close();
  });

  await check('a phone by touch: the whole canvas shows, taps and held buttons act where and as they should', async () => {
    const phone = { width: 844, height: 390, isMobile: true, hasTouch: true, isLandscape: true };
    // As on an iPhone, which cannot show a page full screen.
    const noFullScreen = () => Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => false });
    const page = await openPage(chromium.browser, server.url, noFullScreen, phone);
    expect(await page.$eval('#fullscreen', (b) => b.hidden), 'a full screen button that cannot work');
    await expectWholeCanvas(page, '844 x 390');
    const box = await canvasBox(page);
    const buttons = await touchButtons(page);
    for (const name of ['Walk left', 'Walk right', 'Jump', 'Restart area']) {
      const b = buttons[name];
      expect(b && b.width >= 48 && b.height >= 48, `${name}: ${JSON.stringify(b)}`);
      expect(b.x >= box.x + box.width || b.x + b.width <= box.x, `${name} over the game`);
    }
    await startLevelOne(page, tapCanvas);
    const tapped = await tapCanvas(page, 900, 500);
    await expectBubbleAt(page, 'phone-bubble', tapped.x, tapped.y);

    // Browsers number touches as they like: here the finger on the button
    // has the higher number, so the tap is not the last touch listed.
    const cdp = await page.createCDPSession();
    const button = buttons['Walk right'];
    const walk = { x: button.x + button.width / 2, y: button.y + button.height / 2, id: 7 };
    const finger = await fingerAt(page, 300, 450);
    const tap = { x: finger.x, y: finger.y, id: 1 };
    const start = playerLeft(await screenshot(page)) / (box.width / 1280);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [walk] });
    await walkedPast(page, 'phone-walking', start);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [walk, tap] });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [walk] }); // the tap lifts
    const lifted = playerLeft(await screenshot(page)) / (box.width / 1280);
    const end = await walkedPast(page, 'phone-walked', lifted);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    expect(start >= 0 && end > lifted, `walked from x ${start} to ${lifted}, then not on after the tap lifted`);
    await expectBubbleAt(page, 'phone-walk-bubble', finger.game.x, finger.game.y);
    // Cancelled, a touch on the game or a button neither focuses, zooms,
    // scrolls, selects nor opens a menu.
    const kept = await page.$$eval('#canvas, .pad button', (targets) => targets.filter((target) =>
      target.dispatchEvent(new TouchEvent('touchstart', { bubbles: true, cancelable: true }))).map((t) => t.ariaLabel));
    expect(kept.length === 0, `touches left to the browser on ${kept.join(', ')}`);

    await page.setViewport({ ...phone, width: 667, height: 375 });
    await expectWholeCanvas(page, '667 x 375');
    await page.setViewport({ ...phone, width: 390, height: 844, isLandscape: false });
    await page.waitForFunction(() => document.getElementById('canvas').offsetWidth === 390, { timeout: 2000 })
      .catch(() => {});
    const portrait = await canvasBox(page);
    expect(portrait.x === 0 && portrait.width === 390, `portrait canvas ${portrait.width} wide at x ${portrait.x}`);
    const below = Object.values(await touchButtons(page)).every((b) => b.y >= portrait.y + portrait.height);
    expect(below, 'in portrait the buttons are not below the game');
    await page.close();
  });

  await check('where loading fails the page says so', async () => {
    const noWasm = await openPage(chromium.browser, server.url, () => { delete window.WebAssembly; });
    const without = await waitForStatus(noWasm, /could not/);
    expect(/WebAssembly/.test(without), `without WebAssembly: "${without}"`);
    // The game's script or WebAssembly missing, or the script cut short as by a broken download.
    const script = await (await fetch(new URL('driftmoor.js', server.url))).text();
    const losses = [['driftmoor.js', 'missing', null], ['driftmoor.js', 'cut short', script.slice(0, script.length >> 1)],
      ['driftmoor.wasm', 'missing', null]];
    for (const [file, what, body] of losses) {
      const lost = await openPage(chromium.browser, server.url);
      await lost.setBypassServiceWorker(true);
      await lost.setRequestInterception(true);
      lost.on('request', (r) => (!r.url().endsWith(file) ? r.continue()
        : r.respond(body === null ? { status: 404, body: '' } : { status: 200, contentType: 'text/javascript', body })));
      await lost.reload();
      const text = await waitForStatus(lost, /could not/);
      expect(/could not/.test(text), `${file} ${what}: "${text}"`);
      await lost.close();
    }
  });

  await check("the build's web folder, opened from a file as the unzipped zip is, plays", async () => {
    const page = await openPage(chromium.browser, pathToFileURL(join(folder, 'index.html')).href);
    await expectGameStarts(page, 'from-file');
    await page.close();
  });

  await check('once visited, two builds on one host, at / and /beta/, each play again with the server gone', async () => {
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
        const page = await openPage(chromium.browser, own.url + path);
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
      for (const page of pages) await page.close();
      rmSync(beta, { recursive: true, force: true });
    }
  });

  await check('on AZERTY the key labelled A walks left, and so does Q in its US place', async () => {
    const page = await openPage(chromium.browser, server.url);
    await startLevelOne(page, clickCanvas);
    const at = async () => { const shot = await screenshot(page); return playerLeft(shot) / (shot.width / 1280); };
    // puppeteer's keyboard cannot send a letter from another key's place; the DevTools protocol can.
    const cdp = await page.createCDPSession();
    for (const [key, code] of [['a', 'KeyQ'], ['q', 'KeyA']]) {
      const from = await at();
      const send = (type) => cdp.send('Input.dispatchKeyEvent', { type, key, code });
      await send('keyDown');
      await waitUntil(at, (x) => x >= 0 && x < from);
      await send('keyUp');
      const stopped = await at();
      expect(stopped >= 0 && stopped < from, `key "${key}" on ${code} walked from x ${from} to ${stopped}`);
      // Released, or D would cancel it out: D alone walks right again.
      await page.keyboard.down('d');
      const after = await walkedPast(page, `right-after-${key}`, stopped);
      await page.keyboard.up('d');
      expect(after > stopped, `after key "${key}" on ${code} was let go, D walked from x ${stopped} to ${after}`);
    }
    await page.close();
  });
} finally {
  await chromium.close();
  server.close();
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
