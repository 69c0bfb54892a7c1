// Debian's WebKitGTK: its MiniBrowser driven by WebKitWebDriver over plain
// HTTP, in a private Xvfb with openbox (full screen needs a window manager).
// Pages offer what engines.mjs describes.
import { spawn } from 'node:child_process';
import { accessSync, constants } from 'node:fs';
import { createServer } from 'node:net';
import { setTimeout as sleep } from 'node:timers/promises';
import { startXvfb } from './xvfb.mjs';

const driverBinary = '/usr/bin/WebKitWebDriver';
const browserBinary = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// WebDriver's codes for the keys the tests press; others are their character.
const keyCodes = { ' ': '\uE00D', Escape: '\uE00C', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015' };

// WebDriver has no console log here: the page keeps its own errors.
function catchErrors() {
  if (window.driftmoorErrors) return;
  window.driftmoorErrors = [];
  addEventListener('error', (event) => window.driftmoorErrors.push(event.message));
  addEventListener('unhandledrejection', (event) => window.driftmoorErrors.push(String(event.reason)));
}

async function freePort() {
  return new Promise((done, failed) => {
    const probe = createServer().once('error', failed).listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    });
  });
}

export async function launchWebKit() {
  for (const binary of [driverBinary, browserBinary]) accessSync(binary, constants.X_OK);
  const x = await startXvfb({ windowManager: true });
  const port = await freePort();
  const driver = spawn(driverBinary, [`--port=${port}`], { stdio: ['ignore', 'ignore', 'inherit'], env: { ...process.env, DISPLAY: x.display } });
  const exited = new Promise((done) => driver.once('exit', done));
  const base = `http://127.0.0.1:${port}`;
  async function call(method, path, body) {
    const response = await fetch(base + path, { method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
    const { value } = await response.json();
    if (value?.error) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  }
  let session;
  try {
    const deadline = Date.now() + 30000;
    for (;;) {
      try {
        if ((await call('GET', '/status')).ready) break;
      } catch (error) {
        if (driver.exitCode !== null || Date.now() > deadline) throw new Error(`${driverBinary} does not answer: ${error.message}`);
      }
      await sleep(100);
    }
    const browser = { binary: browserBinary, args: ['--automation'] };
    const created = await call('POST', '/session', { capabilities: { alwaysMatch: { browserName: 'MiniBrowser', 'webkitgtk:browserOptions': browser } } });
    session = `/session/${created.sessionId}`;
  } catch (error) {
    driver.kill();
    x.stop();
    throw error;
  }

  // Each page is a window of its own; calls go to whichever was used last.
  const first = await call('GET', `${session}/window`);
  let current = first;
  const to = async (handle) => {
    if (current !== handle) await call('POST', `${session}/window`, { handle });
    current = handle;
  };

  async function open(url, { width, height, touch, before }) {
    if (touch || before) throw new Error('WebKitWebDriver has no touch and no scripts before the page');
    const { handle } = await call('POST', `${session}/window/new`, { type: 'window' });
    await to(handle);
    const run = (path, body) => to(handle).then(() => call('POST', `${session}${path}`, body));
    const evaluate = (fn, ...args) => run('/execute/sync', { script: `return (${fn}).apply(null, arguments)`, args });
    const actions = (...sources) => run('/actions', { actions: sources });
    const key = (type, name) => actions({ type: 'key', id: 'keyboard', actions: [{ type, value: keyCodes[name] ?? name }] });
    const errors = [];
    const keepErrors = async () => errors.push(...(await evaluate(() => window.driftmoorErrors ?? [])));
    const load = async (path, body) => {
      await run(path, body);
      await evaluate(catchErrors);
    };
    const page = {
      evaluate,
      async resize(width, height) {
        // The window's size less its own decorations is the page's.
        await run('/window/rect', { width, height });
        const [innerWidth, innerHeight] = await evaluate(() => [window.innerWidth, window.innerHeight]);
        await run('/window/rect', { width: 2 * width - innerWidth, height: 2 * height - innerHeight });
      },
      async screenshot() {
        await to(handle);
        return Buffer.from(await call('GET', `${session}/screenshot`), 'base64');
      },
      click: (x, y) => actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
        { type: 'pointerMove', x, y, origin: 'viewport' }, { type: 'pointerDown', button: 0 },
        { type: 'pause', duration: 30 }, { type: 'pointerUp', button: 0 }] }),
      keyDown: (name) => key('keyDown', name),
      keyUp: (name) => key('keyUp', name),
      press: async (name) => {
        await key('keyDown', name);
        await key('keyUp', name);
      },
      async reload() {
        await keepErrors();
        await load('/refresh', {});
      },
      async errors() {
        return [...errors, ...(await evaluate(() => window.driftmoorErrors ?? []))];
      },
      async close() {
        await to(handle);
        await call('DELETE', `${session}/window`);
        current = undefined;
        await to(first);
      },
    };
    await page.resize(width, height);
    await load('/url', { url });
    return page;
  }

  return {
    open,
    async close() {
      await call('DELETE', session).catch(() => {});
      driver.kill();
      await exited;
      x.stop();
    },
  };
}
