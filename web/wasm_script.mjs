// Writes the page's WebAssembly into a script, for the page opened from a
// file, where the browser may not fetch it: the page hands it to the game.
//   node wasm_script.mjs driftmoor.wasm driftmoor-wasm.js
import { readFileSync, writeFileSync } from 'node:fs';

const [wasm, script] = process.argv.slice(2);
const base64 = readFileSync(wasm).toString('base64');
writeFileSync(script, `Module.wasmBinary = Uint8Array.from(atob('${base64}'), function (c) { return c.charCodeAt(0); });\n`);
