// The playground in a real browser (Debian's Chromium, headless, driven by playwright-core), through
// the roles and names a screen reader uses too: what it offers for download is what the native
// morvcfg writes for the same bytes, the editor's warnings and fixes are the language server's,
// and the page asks nothing of any other origin.
//   node test/page.test.mjs --site <built site> --morvcfg <native morvcfg> --golden <tests/golden>
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { parseArgs } from 'node:util';
import { chromium } from 'playwright-core';

import { chromiumOptions, serve } from './serve.mjs';

const { values } = parseArgs({ options: { site: { type: 'string' }, morvcfg: { type: 'string' }, golden: { type: 'string' } } });
values.morvcfg = resolve(values.morvcfg);
const examples = join(values.site, 'examples');

// The build stamp is the one part of morv_cfg.c that changes from run to run.
const withoutStamp = (bytes) =>
  Buffer.from(bytes.toString('latin1').replace(/BuildNumber\[\] = \{"\d{14}"\};/, 'BuildNumber[] = {"YYYYMMDDhhmmss"};'), 'latin1');

// What the native program writes for these description bytes.
function native(bytes) {
  const dir = mkdtempSync(join(tmpdir(), 'morvcfg-page-'));
  try {
    writeFileSync(join(dir, 'in.cfg'), bytes);
    const run = spawnSync(values.morvcfg, ['in.cfg', 'out.cfg'], { cwd: dir });
    assert.equal(run.status, 0, `native morvcfg failed: ${run.stderr}`);
    return {
      'pass-through': readFileSync(join(dir, 'out.cfg')),
      'morv_cfg.c': withoutStamp(readFileSync(join(dir, 'morv_cfg.c'))),
      'morv_cfg.h': readFileSync(join(dir, 'morv_cfg.h')),
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

const { server, origin } = await serve(values.site);
const browser = await chromium.launch(chromiumOptions);
const context = await browser.newContext({ acceptDownloads: true });
const outside = [];
const errors = [];
context.on('request', (request) => {
  const url = request.url();
  if (!url.startsWith(`${origin}/`) && !url.startsWith('blob:') && !url.startsWith('data:')) {
    outside.push(url);
  }
});
const page = await context.newPage();
page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
page.on('pageerror', (error) => errors.push(error.message));

let passed = 0;
async function check(name, body) {
  try {
    await body();
    passed += 1;
    console.log(`ok - ${name}`);
  } catch (error) {
    console.log(`not ok - ${name}\n${error.stack}`);
    await page.screenshot({ path: join(tmpdir(), 'morvcfg-page-failure.png'), fullPage: true }).catch(() => {});
    process.exitCode = 1;
  }
}

// The outputs once those of the latest change are on screen.
async function settled() {
  await page.waitForFunction(
    () => document.body.dataset.outputsVersion && document.body.dataset.outputsVersion === document.body.dataset.outputsWanted,
  );
}
// Chromium may hold back a download that a click starts within moments of the one before (its
// limit on pages that download several files), which no person clicks fast enough to meet: the
// link is clicked once more, as a person would, when the first click brings nothing.
async function download(trigger) {
  const click = () => Promise.all([page.waitForEvent('download', { timeout: 5000 }), trigger.click()]);
  const [file] = await click().catch(click);
  return readFileSync(await file.path());
}
async function downloads() {
  await settled();
  // The pointer leaves the editor, as a person's does on the way to a link: a tooltip it left
  // open there may lie over the links once the page scrolls to them.
  await page.mouse.move(0, 0);
  const files = {};
  for (const name of ['pass-through', 'morv_cfg.c', 'morv_cfg.h']) {
    const region = page.getByRole('region', { name, exact: true });
    const bytes = await download(region.getByRole('link', { name: /^Download / }));
    files[name] = name === 'morv_cfg.c' ? withoutStamp(bytes) : bytes;
  }
  return files;
}
async function saved() {
  return download(page.getByRole('button', { name: 'Save' }));
}
async function openBytes(bytes, name) {
  await page.getByLabel('Open').setInputFiles({ name, mimeType: 'application/octet-stream', buffer: Buffer.from(bytes) });
  await page.getByRole('heading', { name }).waitFor();
  await settled();
}
const problems = () => page.getByRole('region', { name: 'Problems' }).getByRole('listitem');

await page.goto(`${origin}/`);

await check('the examples download as the golden outputs and the native program', async () => {
  const golden = join(values.golden, 'example');
  assert.deepEqual(await downloads(), {
    'pass-through': readFileSync(join(golden, 'pass.cfg')),
    'morv_cfg.c': readFileSync(join(golden, 'morv_cfg.c')),
    'morv_cfg.h': readFileSync(join(golden, 'morv_cfg.h')),
  });
  await page.getByLabel('Example').selectOption('board-with-mistakes.cfg');
  await page.getByRole('heading', { name: 'board-with-mistakes.cfg' }).waitFor();
  assert.deepEqual(await downloads(), native(readFileSync(join(examples, 'board-with-mistakes.cfg'))));
});

await check('hover shows the gateway the firmware gets', async () => {
  await page.locator('.cm-line', { hasText: 'MORV_DEFGW' }).hover({ position: { x: 30, y: 5 } });
  const tooltip = page.locator('.morvcfg-hover');
  await tooltip.waitFor();
  const text = await tooltip.innerText();
  assert.match(text, /GateWay \| 10\.20\.30\.1 \| 10\.20\.40\.1/);
  await page.mouse.move(0, 0);
});

// Every byte the text mode treats on its own: a byte-order mark, CR LF and LF, a lone CR, NUL, a
// line over 255 characters with a directive at character 256, a Ctrl-Z, bytes that are not
// UTF-8, and UTF-16.
const odd = Buffer.concat([
  Buffer.from('\xEF\xBB\xBF', 'latin1'),
  Buffer.from('MORV_IFCFG(10.1.2.3, 255.255.0.0);\r\nwith a lone\rCR\r\nMORV_DNS(10.1.0.9)\nNUL \0 byte\r\n'),
  Buffer.from(`${'x'.repeat(255)}MORV_LOCAL(1.2.3.4)\r\n  MORV_NTPCFG(1.1.1.1);\r\n`),
  Buffer.from('before Ctrl-Z\r\n\x1aMORV_SMTPCFG(9.9.9.9)\r\nnever read\r\n'),
]);
const files = {
  'odd.cfg': odd,
  'latin1.cfg': Buffer.from('/* caf\xe9 */\r\nMORV_DNS(10.0.0.2);\r\n', 'latin1'),
  'utf16.cfg': Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from('MORV_DNS(10.0.0.2);\r\n', 'utf16le')]),
};

await check('files with every odd byte download as the native program writes them', async () => {
  for (const [name, bytes] of Object.entries(files)) {
    await openBytes(bytes, name);
    assert.deepEqual(await saved(), bytes, `${name} saved`);
    assert.deepEqual(await downloads(), native(bytes), name);
  }
  assert.equal(await page.locator('#notice').isVisible(), true, 'no notice for the UTF-16 file');
});

await check('an edit changes only what it touches, with the file\'s own line ends', async () => {
  await openBytes(odd, 'odd.cfg');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+Home');
  await page.keyboard.press('End');
  await page.keyboard.press('Enter');
  await page.keyboard.type('MORV_POP3CFG(10.1.0.110);');
  await page.keyboard.press('Escape');
  const at = odd.indexOf('255.0.0);') + '255.0.0);'.length;
  const edited = Buffer.concat([odd.subarray(0, at), Buffer.from('\r\nMORV_POP3CFG(10.1.0.110);'), odd.subarray(at)]);
  assert.deepEqual(await saved(), edited);
  assert.deepEqual(await downloads(), native(edited));
});

await check('an indented directive is a warning in Problems, and its fix mends the output', async () => {
  await openBytes(Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n'), 'new.cfg');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.type('  MORV_DNS(10.20.30.53);');
  await page.keyboard.press('Escape');
  const warning = problems().filter({ hasText: '[-Wnot-directive]' });
  await warning.waitFor();
  assert.match(await warning.locator('span').innerText(), /^2:3: warning: directive MORV_DNS is indented, .* \[-Wnot-directive\]$/);
  await warning.getByRole('button', { name: 'Remove the indent' }).click();
  await warning.waitFor({ state: 'detached' });
  await settled();
  assert.match(await page.getByRole('region', { name: 'morv_cfg.c' }).locator('pre').innerText(), /DomainNameServer\[\] = \{10,20,30,53\};/);
  assert.deepEqual(await saved(), Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\nMORV_DNS(10.20.30.53);'));
});

await check('a share link opens the same bytes', async () => {
  await openBytes(odd, 'odd.cfg');
  await page.getByRole('button', { name: 'Share' }).click();
  await page.waitForFunction(() => location.hash.includes('z='));
  const link = page.url();
  const other = await context.newPage();
  other.on('pageerror', (error) => errors.push(error.message));
  await other.goto(link);
  await other.getByRole('heading', { name: 'odd.cfg' }).waitFor();
  const [file] = await Promise.all([other.waitForEvent('download'), other.getByRole('button', { name: 'Save' }).click()]);
  assert.deepEqual(readFileSync(await file.path()), odd);
  await other.close();
});

await check('no request leaves the page\'s origin, and no error is logged', async () => {
  assert.deepEqual(outside, []);
  assert.deepEqual(errors, []);
});

await browser.close();
server.close();
console.log(`${passed} passed`);
