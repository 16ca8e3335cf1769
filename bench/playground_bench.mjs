// The playground's figures, from the site cmake --preset playground builds, in Debian's Chromium
// driven by playwright-core (the playground's own npm packages), with its inputs in memory:
//   - what the page loads, gzip-compressed, in all (target: at most 600 KB);
//   - from navigation until the first example's outputs are on screen (target: at most 1.5 s);
//   - after one keystroke in a 10,000-line file, until its diagnostics and outputs are updated,
//     debounce included (target: at most 100 ms);
//   - the translator compiled to WebAssembly, under node, on a real-shaped 64 MiB file, as a ratio
//     to the native program on the same file.
// Usage: node bench/playground_bench.mjs [--runs N] [--native build/morvcfg]
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';
import { gzipSync } from 'node:zlib';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const require = createRequire(join(root, 'playground', 'package.json'));
const { chromium } = require('playwright-core');
const { chromiumOptions, serve } = await import(join(root, 'playground', 'test', 'serve.mjs'));

const { values } = parseArgs({
  options: { runs: { type: 'string', default: '7' }, native: { type: 'string', default: 'build/morvcfg' } },
});
const runs = Number(values.runs);
const site = join(root, 'build-playground', 'site');
const median = (numbers) => [...numbers].sort((a, b) => a - b)[Math.floor(numbers.length / 2)];
const scratch = mkdtempSync(join(existsSync('/dev/shm') ? '/dev/shm' : tmpdir(), 'morvcfg-playground-'));

// Description files shaped like real ones, by the same generator as the translator's benchmark.
function generate(path, size) {
  execFileSync('python3', ['-c', `import sys; sys.path.insert(0, ${JSON.stringify(join(root, 'bench'))}); import run_bench; run_bench.generate(${JSON.stringify(path)}, ${size}, True, "real")`]);
  return readFileSync(path);
}

const { server, origin } = await serve(site);
const browser = await chromium.launch(chromiumOptions);

// Size and start: each run in a fresh context, so that nothing comes from a cache.
const sizes = [];
const starts = [];
for (let run = 0; run < runs; run++) {
  const context = await browser.newContext();
  const page = await context.newPage();
  const bodies = [];
  page.on('response', (response) => bodies.push(response.body().catch(() => Buffer.alloc(0))));
  await page.goto(`${origin}/`);
  await page.waitForFunction(() => document.body.dataset.outputsVersion && document.getElementById('source').textContent);
  starts.push(await page.evaluate(() => performance.now()));
  sizes.push((await Promise.all(bodies)).reduce((sum, body) => sum + gzipSync(body, { level: 9 }).length, 0));
  await context.close();
}

// One keystroke in a 10,000-line file.
const large = generate(join(scratch, 'large.cfg'), 530000);
const lines = large.toString('latin1').split('\r\n').length - 1;
const context = await browser.newContext();
const page = await context.newPage();
await page.goto(`${origin}/`);
await page.waitForFunction(() => document.body.dataset.outputsVersion);
await page.getByLabel('Open').setInputFiles({ name: 'large.cfg', mimeType: 'application/octet-stream', buffer: large });
const updated = () =>
  page.waitForFunction(() => {
    const data = document.body.dataset;
    return data.outputsVersion === data.outputsWanted && data.diagnosticsVersion === data.documentVersion;
  });
await page.getByRole('heading', { name: 'large.cfg' }).waitFor();
await updated();
await page.locator('.cm-content').click();
await page.keyboard.press('Control+Home');
const keystrokes = [];
for (let run = 0; run < runs; run++) {
  await page.keyboard.press('End');
  const started = await page.evaluate(() => performance.now());
  await page.keyboard.type(run % 2 === 0 ? ' ' : '\b', { delay: 0 });
  await updated();
  keystrokes.push((await page.evaluate(() => performance.now())) - started);
}
await browser.close();
server.close();

// The WebAssembly translator under node against the native program, alternately.
const big = join(scratch, 'big.cfg');
generate(big, 64 * 1024 * 1024);
const timed = (command, args) => {
  const begin = process.hrtime.bigint();
  const result = spawnSync(command, args, { cwd: scratch });
  if (result.status !== 0) {
    throw new Error(`${command} failed: ${result.stderr}`);
  }
  return Number(process.hrtime.bigint() - begin) / 1e6;
};
const wasmTimes = [];
const nativeTimes = [];
for (let run = 0; run < Math.max(3, Math.min(runs, 7)); run++) {
  wasmTimes.push(timed('node', [join(root, 'build-playground', 'morvcfg.js'), big, 'out.cfg']));
  nativeTimes.push(timed(resolve(values.native), [big, 'out.cfg']));
}
rmSync(scratch, { recursive: true, force: true });

const kb = (bytes) => (bytes / 1000).toFixed(1);
console.log(`page loads, gzip-compressed:       ${kb(median(sizes))} KB (target <= 600 KB)`);
console.log(`navigation to outputs on screen:   ${median(starts).toFixed(0)} ms, median of ${runs} (target <= 1500 ms)`);
console.log(`one keystroke, ${lines} lines:     ${median(keystrokes).toFixed(0)} ms to diagnostics and outputs, median of ${runs} (target <= 100 ms)`);
console.log(`64 MiB real-shaped, WebAssembly under node vs native: ${median(wasmTimes).toFixed(0)} ms vs ${median(nativeTimes).toFixed(0)} ms, ratio ${(median(wasmTimes) / median(nativeTimes)).toFixed(2)}`);
