// The browser build end to end in Debian's chromium: our page as a player
// meets it, with the desktop's pixels.
//   node browser_test.mjs WEB_FOLDER ARTEFACTS_FOLDER
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { clickCanvas, launchChromium, openPage, screenshot } from './chromium.mjs';
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

// Screenshots until `ready` holds of one, for at most `seconds`; the last is
// kept in the artefacts as `name`.png.
async function waitForShot(page, name, ready, seconds = 20) {
  const file = join(artefacts, `web-${name}.png`);
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const shot = await screenshot(page, file);
    if (ready(shot) || Date.now() > deadline) return shot;
    await sleep(100);
  }
}

async function statusText(page) {
  return page.$eval('#status', (status) => status.textContent);
}

async function waitForStatus(page, pattern, seconds = 10) {
  const deadline = Date.now() + seconds * 1000;
  let text = await statusText(page);
  while (!pattern.test(text) && Date.now() < deadline) {
    await sleep(100);
    text = await statusText(page);
  }
  return text;
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

const server = await serve(folder);
const chromium = await launchChromium();
try {
  const page = await openPage(chromium.browser, server.url);
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));

  await check('the page loads: title, version, no message once the game runs', async () => {
    expect((await page.title()) === 'Driftmoor', `title "${await page.title()}"`);
    const version = await page.$eval('#version', (v) => v.textContent);
    expect(/^Driftmoor \d+\.\d+\.\d+$/.test(version), `version line "${version}"`);
    const text = await waitForStatus(page, /^$/);
    expect(text === '', `status still says "${text}"`);
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
    const shot = await waitForShot(page, 'level1', (s) => near(s.at(640, 675), black));
    expectColor(shot, 640, 675, black, 'floor');
    expectColor(shot, 1105, 75, goalColor, 'goal');
    expectColor(shot, 640, 400, background, 'background');
  });

  await check('D held walks right', async () => {
    await sleep(1000); // the player lands on the floor
    const start = playerLeft(await screenshot(page));
    await page.keyboard.down('d');
    await sleep(1000);
    await page.keyboard.up('d');
    const end = playerLeft(await screenshot(page, join(artefacts, 'web-walked.png')));
    console.log(`      walked from x ${start} to ${end}`);
    // Steps of 5 pixels a frame; how many depends on the machine's speed.
    expect(start >= 0 && end - start >= 5 && (end - start) % 5 === 0, `from x ${start} to ${end}`);
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
    const scrollable = await page.evaluate(() => document.documentElement.scrollHeight > window.innerHeight);
    expect(scrollable, 'the page is too short to scroll');
    await clickCanvas(page, 640, 300);
    for (const key of ['Space', 'ArrowDown', 'ArrowRight']) await page.keyboard.press(key);
    await sleep(300);
    expect((await page.evaluate(() => window.scrollY)) === 0, 'the page scrolled while the canvas had focus');
    await page.$eval('#canvas', (canvas) => canvas.blur());
    await page.keyboard.press('Space');
    await sleep(300);
    expect((await page.evaluate(() => window.scrollY)) > 0, 'Space did not scroll the page without focus');
    await page.evaluate(() => window.scrollTo(0, 0));
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

  await check('where loading fails the page says so', async () => {
    const noWasm = await openPage(chromium.browser, server.url, () => { delete window.WebAssembly; });
    const without = await waitForStatus(noWasm, /could not/);
    expect(/WebAssembly/.test(without), `without WebAssembly: "${without}"`);
    const missing = await openPage(chromium.browser, server.url);
    await missing.setRequestInterception(true);
    missing.on('request', (r) => (r.url().endsWith('.wasm') ? r.respond({ status: 404, body: '' }) : r.continue()));
    await missing.reload();
    const lost = await waitForStatus(missing, /could not/);
    expect(/could not/.test(lost), `without driftmoor.wasm: "${lost}"`);
  });
} finally {
  await chromium.close();
  server.close();
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
