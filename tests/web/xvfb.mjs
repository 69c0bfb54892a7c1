// A private X server from scripts/private-xvfb, for browsers that need a
// display (WebGL in Firefox, WebKit at all); optionally with openbox in it.
import { spawn } from 'node:child_process';
import { fileURLToPath } from 'node:url';

const privateXvfb = fileURLToPath(new URL('../../scripts/private-xvfb', import.meta.url));

// Resolves once the server takes connections: { display, stop() }.
export async function startXvfb({ windowManager = false } = {}) {
  // Its complaints about displays others hold, as it looks for a free one, are noise.
  const server = spawn(privateXvfb, ['3'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const number = await new Promise((done, failed) => {
    let text = '';
    server.stdio[3].on('data', (chunk) => {
      text += chunk;
      if (text.includes('\n')) done(text.trim());
    });
    server.once('exit', (code) => failed(new Error(`Xvfb exited (${code}) before taking connections`)));
    server.once('error', failed);
  });
  const display = `:${number}`;
  const others = [];
  if (windowManager) others.push(spawn('openbox', [], { stdio: 'ignore', env: { ...process.env, DISPLAY: display } }));
  return {
    display,
    stop() {
      for (const child of [...others, server]) child.kill();
    },
  };
}
