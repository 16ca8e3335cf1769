// The playground in a real browser (Debian's Chromium, headless, driven by playwright-core), through
// the roles and names a screen reader uses too: what it offers for download is what the native
// morvcfg writes for the same bytes, the editor's warnings and fixes are the language server's,
// and the page asks nothing of any other origin.
//   node test/page.test.mjs --site <built site> --morvcfg <native morvcfg> --golden <tests/golden>
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { parseArgs } from 'node:util';
import axe from 'axe-core';
import { chromium } from 'playwright-core';

import { chromiumOptions, serve } from './serve.mjs';

const { values } = parseArgs({ options: { site: { type: 'string' }, morvcfg: { type: 'string' }, golden: { type: 'string' } } });
values.morvcfg = resolve(values.morvcfg);
const checker = join(dirname(values.morvcfg), 'morvcfg-check');
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

// What the native checker prints for these bytes, a warning a line as the Problems list shows it:
// line:column: level: message [-Wcode].
function nativeWarnings(bytes) {
  const dir = mkdtempSync(join(tmpdir(), 'morvcfg-page-'));
  try {
    writeFileSync(join(dir, 'in.cfg'), bytes);
    const run = spawnSync(checker, ['-fno-diagnostics-show-caret', 'in.cfg'], { cwd: dir, encoding: 'utf8' });
    return run.stdout.split('\n').filter((line) => /^in\.cfg:\d+:\d+: (warning|error): /.test(line)).map((line) => line.slice('in.cfg:'.length));
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
  // Plain text, as the page asks the server for: no Markdown marks.
  assert.match(text, /GateWay +10\.20\.30\.1 +10\.20\.40\.1/);
  assert.doesNotMatch(text, /\*\*|\|---/);
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
  await warning.getByRole('button', { name: 'Ignore -Wnot-directive on line 2' }).waitFor();
  // Ctrl+. in the text takes the cursor's warning to its fixes, the certain one first.
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.press('Control+.');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Remove the indent');
  await page.keyboard.press('Enter');
  await warning.waitFor({ state: 'detached' });
  await settled();
  assert.match(await page.getByRole('region', { name: 'morv_cfg.c' }).locator('pre').innerText(), /DomainNameServer\[\] = \{10,20,30,53\};/);
  assert.deepEqual(await saved(), Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\nMORV_DNS(10.20.30.53);'));
});

const problemTexts = () => problems().locator('span.problem').allInnerTexts();
async function problemsSettled() {
  await settled();
  await page.waitForFunction(() => document.body.dataset.diagnosticsVersion === document.body.dataset.documentVersion);
}

await check('Problems hold the native checker\'s warnings for the same bytes', async () => {
  const cases = {
    ...files,
    'board-with-mistakes.cfg': readFileSync(join(examples, 'board-with-mistakes.cfg')),
    'include.cfg': Buffer.from('#include "net-common.cfg"\r\nMORV_IFCFG(10.0.0.5, 255.0.0.0);\r\n'),
  };
  for (const [name, bytes] of Object.entries(cases)) {
    await openBytes(bytes, name);
    await problemsSettled();
    const shown = await problemTexts();
    const expected = nativeWarnings(bytes);
    if (bytes.includes('\rC')) {
      // After a lone CR the editor starts a new line, and the page counts lines as its editor does.
      const unplaced = (lines) => lines.map((line) => line.replace(/^\d+:\d+: /, ''));
      assert.deepEqual(unplaced(shown), unplaced(expected), name);
    } else {
      assert.deepEqual(shown, expected, name);
    }
  }
  // The include cannot be read here, and the line says so.
  await page.locator('.cm-line', { hasText: '#include' }).locator('.cm-lintRange-info').hover();
  await page.getByText(/the browser cannot read 'net-common\.cfg'/).waitFor();
  await page.mouse.move(0, 0);
});

// Keeps the tools' worker busy for `ms`, as a long analysis would: keystrokes typed meanwhile are
// held back. Returns once the worker is surely busy, with a promise of its being free again.
async function busyWorker(ms) {
  const [worker] = page.workers();
  const free = worker.evaluate((until) => {
    while (Date.now() < until);
  }, Date.now() + ms);
  await page.waitForTimeout(300);
  return { free };
}

await check('a hover right after keystrokes held back shows the new text\'s value', async () => {
  await openBytes(Buffer.from('MORV_IFCFG(10.20.40.40, 255.255.255.0);\r\nMORV_DEFGW(10.20.40.1);\r\n'), 'gateway.cfg');
  await page.locator('.cm-line', { hasText: 'MORV_DEFGW' }).click();
  await page.keyboard.press('End');
  await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('ArrowLeft');
  // The held-back edits going before a request are pinned by the client's unit test
  // (test/unit/lsp-client.test.mjs); this row is what a user sees of it.
  // The first hover shown, caught as it comes: the editor asks again once the text changes, so a
  // stale answer would soon be replaced.
  await page.evaluate(() => {
    new MutationObserver((_, observer) => {
      const hover = document.querySelector('.morvcfg-hover');
      if (hover) {
        window.firstHover = hover.innerText;
        observer.disconnect();
      }
    }).observe(document.body, { childList: true, subtree: true });
  });
  const busy = await busyWorker(3000);
  await page.keyboard.type('99');
  await page.locator('.cm-line', { hasText: 'MORV_DEFGW' }).hover({ position: { x: 80, y: 5 } });
  await page.waitForFunction(() => window.firstHover !== undefined);
  assert.match(await page.evaluate(() => window.firstHover), /GateWay +10\.20\.40\.199 +10\.20\.40\.199/);
  await page.mouse.move(0, 0);
  await busy.free;
});

await check('a fix button older than the text changes only what it was made for', async () => {
  await openBytes(Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n  MORV_DNS(10.20.30.53);\r\n'), 'stale.cfg');
  const button = problems().getByRole('button', { name: 'Remove the indent' });
  await button.waitFor();
  const stale = await button.elementHandle();
  // A line typed above moves the warning down; the old button is clicked before the list follows.
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+Home');
  await page.keyboard.type('/* top */');
  await page.keyboard.press('Enter');
  await stale.evaluate((element) => element.click());
  await page.waitForFunction(() => !document.querySelector('.cm-content').textContent.includes('  MORV_DNS'));
  assert.deepEqual(await saved(), Buffer.from('/* top */\r\nMORV_IFCFG(10.20.30.40, 255.255.255.0);\r\nMORV_DNS(10.20.30.53);\r\n'));
  assert.notEqual(await page.evaluate(() => document.activeElement.tagName), 'BODY', 'focus went to <body>');
});

await check('Problems: notes, No problems, and Fix all says what it changed', async () => {
  await openBytes(Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n  MORV_DNS(10.20.30.53);\r\nMORV_DEFGW(10.20.31.1);\r\n'), 'fixall.cfg');
  await problemsSettled();
  assert.match(await problems().filter({ hasText: 'the gateway' }).innerText(), /\n1:1: note: this host's subnet is set here/);
  const fixAll = page.getByRole('button', { name: 'Fix all' });
  // The fixes are asked for once typing pauses.
  await page.waitForFunction(() => !document.getElementById('fix-all').disabled);
  await fixAll.click();
  await page.getByRole('status').filter({ hasText: /Fix all applied 1 fix; the configuration morvcfg generates changes: DomainNameServer: 10\.20\.30\.1 -> 10\.20\.30\.53/ }).waitFor();
  await openBytes(Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n'), 'clean.cfg');
  await problemsSettled();
  await page.getByText('No problems').waitFor();
  assert.equal(await fixAll.isDisabled(), true, 'Fix all with nothing to fix');
});

await check('the user\'s text: an example chosen over edits can be undone, and a reload keeps it', async () => {
  await openBytes(Buffer.from('MORV_DNS(10.0.0.2);\r\n'), 'mine.cfg');
  assert.equal(await page.getByLabel('Example').inputValue(), '', 'the example menu names an example after Open');
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.type('/* edited */');
  const edited = Buffer.from('MORV_DNS(10.0.0.2);\r\n/* edited */');
  await page.getByLabel('Example').selectOption('target.cfg');
  await page.getByRole('heading', { name: 'target.cfg' }).waitFor();
  await page.getByRole('button', { name: 'Undo' }).click();
  await page.getByRole('heading', { name: 'mine.cfg' }).waitFor();
  assert.deepEqual(await saved(), edited);
  await page.waitForTimeout(500); // the copy for a reload is written once typing pauses
  await page.reload();
  await page.getByRole('heading', { name: 'mine.cfg' }).waitFor();
  assert.deepEqual(await saved(), edited);
});

await check('typing after Share is kept by a reload at the shared address', async () => {
  await openBytes(Buffer.from('MORV_DNS(10.0.0.2);\r\n'), 'shared.cfg');
  await page.getByRole('button', { name: 'Share' }).click();
  await page.getByRole('status').filter({ hasText: /link to this text is in the address bar/ }).waitFor();
  const link = page.url();
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.type('/* after the link */');
  await page.waitForTimeout(500); // the copy for a reload is written once typing pauses
  await page.reload();
  await page.getByRole('heading', { name: 'shared.cfg' }).waitFor();
  assert.equal(page.url(), link);
  assert.deepEqual(await saved(), Buffer.from('MORV_DNS(10.0.0.2);\r\n/* after the link */'));
});

// The configuration as the native checker's JSON report gives it: [name, value, where from].
function nativeConfiguration(bytes) {
  const dir = mkdtempSync(join(tmpdir(), 'morvcfg-page-'));
  try {
    writeFileSync(join(dir, 'in.cfg'), bytes);
    const run = spawnSync(checker, ['--format=json', 'in.cfg'], { cwd: dir, encoding: 'utf8' });
    const { addresses, macros, origins, defines } = JSON.parse(run.stdout).files[0].configuration;
    return [
      ...Object.entries({ ...addresses, ...macros }).map(([name, value]) => [name, String(value), origins[name].text]),
      ...defines.map(({ name, value, origin }) => [name, value, origin.text]),
    ];
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}
// What the native checker's --compare says of two texts: [name, before, after, cause].
function nativeComparison(before, after) {
  const dir = mkdtempSync(join(tmpdir(), 'morvcfg-page-'));
  try {
    writeFileSync(join(dir, 'old.cfg'), before);
    writeFileSync(join(dir, 'new.cfg'), after);
    const run = spawnSync(checker, ['--compare', '--format=json', 'old.cfg', 'new.cfg'], { cwd: dir, encoding: 'utf8' });
    return JSON.parse(run.stdout).changes.map((c) => [c.name, c.before || '(none)', c.after || '(none)', c.cause]);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}
const tableRows = (table) =>
  table.locator('tbody tr').evaluateAll((rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));

await check('Compare with the shared original says what the firmware gets differently, as --compare does', async () => {
  // The page holds shared.cfg, typed in after its link.
  const region = page.getByRole('region', { name: 'Comparison' });
  await region.getByRole('button', { name: 'the linked original' }).click();
  await region.getByText('No change: the firmware gets the same from shared.cfg as from shared:shared.cfg.').waitFor();
  await page.locator('.cm-content').click();
  await page.keyboard.press('Control+End');
  await page.keyboard.press('Enter');
  await page.keyboard.type('MORV_IFCFG(10.0.0.20, 255.255.255.0);');
  // Each change sent is translated and compared again: once its outputs are in, its comparison is asked.
  await settled();
  await page.waitForFunction(() => document.body.dataset.comparisonShown === document.body.dataset.comparisonWanted);
  const table = region.getByRole('table');
  const expected = nativeComparison(Buffer.from('MORV_DNS(10.0.0.2);\r\n'), await saved()).map(([name, before, after, cause]) => [
    name, before, after, cause.replaceAll('new.cfg', 'shared.cfg').replaceAll('old.cfg', 'shared:shared.cfg'),
  ]);
  assert.deepEqual(await tableRows(table), expected);
  assert.ok(expected.some(([name, , after, cause]) => name === 'DomainNameServer' && after === '10.0.0.2' && /no longer moved: inside the new subnet set at shared\.cfg:3/.test(cause)));
  await region.getByRole('button', { name: 'Stop comparing' }).click();
  assert.equal(await table.isHidden(), true);
});

await check('the Configuration table says where each value comes from, as the JSON report does, and its lines go there', async () => {
  const region = page.getByRole('region', { name: 'Configuration' });
  await page.waitForFunction(() => document.body.dataset.configurationVersion === document.body.dataset.documentVersion);
  assert.deepEqual(await tableRows(region.getByRole('table')), nativeConfiguration(await saved()));
  await region.getByRole('button', { name: 'DomainNameServer: go to line 1' }).click();
  await page.keyboard.type('/* here */');
  await settled();
  assert.match((await saved()).toString('latin1'), /^\/\* here \*\/MORV_DNS\(10\.0\.0\.2\);\r\n/);
});

await check('a share link that does not decode says so', async () => {
  await page.goto('about:blank');
  await page.goto(`${origin}/#name=x.cfg&z=@@not-base64@@`);
  await page.getByRole('status').filter({ hasText: /This share link cannot be opened/ }).waitFor();
  // Pasted into the address bar of the open page: only the fragment changes.
  await page.evaluate(() => { location.hash = 'name=x.cfg&z=AAAA'; });
  await page.getByRole('status').filter({ hasText: /does not decode/ }).waitFor();
  await page.goto(`${origin}/`);
  await settled();
});

await check('at phone width nothing but the boxes scrolls sideways', async () => {
  await page.setViewportSize({ width: 390, height: 844 });
  await openBytes(odd, 'odd.cfg');
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 390);
  await page.setViewportSize({ width: 1280, height: 720 });
});

await check('each problem links to its kind\'s explanation, which the site ships', async () => {
  await openBytes(Buffer.from('  MORV_DNS(192.168.0.2);\n'), 'link.cfg');
  const link = problems().filter({ hasText: '[-Wnot-directive]' }).getByRole('link', { name: 'What -Wnot-directive means' });
  await link.waitFor();
  const href = await link.getAttribute('href');
  assert.equal(href, 'morvcfg-check-warnings.html#not-directive');
  const explained = await page.context().newPage();
  await explained.goto(`${origin}/${href}`);
  await explained.locator('section#not-directive h2').filter({ hasText: '-Wnot-directive' }).waitFor();
  await explained.evaluate(axe.source);
  const result = await explained.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  assert.deepEqual(result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical').map((v) => v.id), []);
  await explained.close();
});

await check('axe-core finds no serious or critical violation, loaded and with problems listed', async () => {
  const serious = async () => {
    await page.evaluate(axe.source);
    const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
    return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical').map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`);
  };
  await page.goto(`${origin}/`);
  await settled();
  assert.deepEqual(await serious(), []);
  await openBytes(readFileSync(join(examples, 'board-with-mistakes.cfg')), 'board-with-mistakes.cfg');
  await problemsSettled();
  await problems().first().waitFor();
  assert.deepEqual(await serious(), []);
});

await check('a project file typed in its box silences its category, and travels in a share link', async () => {
  await openBytes(Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n  MORV_DNS(10.20.30.53);\r\n'), 'team.cfg');
  await problems().filter({ hasText: '[-Wnot-directive]' }).waitFor();
  await page.getByRole('textbox', { name: /^Project file/ }).fill('# we know\n-Wno-not-directive\n');
  await problems().filter({ hasText: '[-Wnot-directive]' }).waitFor({ state: 'detached' });
  // The default name server's move stays: only the category named is silenced.
  await problems().filter({ hasText: '[-Wsubnet-move]' }).waitFor();
  // A mistake in it is said, with its place.
  await page.getByRole('textbox', { name: /^Project file/ }).fill('-Wno-not-directve\n');
  await page.getByRole('status').filter({ hasText: /\.morvcfg-check:1:1: error: unknown warning category 'not-directve'.*did you mean/ }).waitFor();
  // ...at the box too, where it is typed.
  await page
    .getByRole('region', { name: 'Project file' })
    .getByRole('alert')
    .filter({ hasText: /\.morvcfg-check:1:1: error: unknown warning category 'not-directve'/ })
    .waitFor();
  await page.getByRole('textbox', { name: /^Project file/ }).fill('-Wno-not-directive\n');
  await problems().filter({ hasText: '[-Wnot-directive]' }).waitFor({ state: 'detached' });
  await page.getByRole('button', { name: 'Share' }).click();
  await page.waitForFunction(() => location.hash.includes('p='));
  const other = await context.newPage();
  await other.goto(page.url());
  await other.getByRole('heading', { name: 'team.cfg' }).waitFor();
  assert.equal(await other.getByRole('textbox', { name: /^Project file/ }).inputValue(), '-Wno-not-directive\n');
  await other.getByRole('region', { name: 'Problems' }).getByRole('listitem').filter({ hasText: '[-Wsubnet-move]' }).waitFor();
  assert.equal(await other.getByRole('region', { name: 'Problems' }).getByRole('listitem').filter({ hasText: '[-Wnot-directive]' }).count(), 0);
  await other.close();
  await page.getByRole('textbox', { name: /^Project file/ }).fill('');
  assert.equal(await page.getByRole('region', { name: 'Project file' }).getByRole('alert').count(), 0);
});

await check('a project file\'s [name] section applies to the file of that name, as on the command line', async () => {
  const bytes = Buffer.from('MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\n  MORV_DNS(10.20.30.53);\r\n');
  await page.getByRole('textbox', { name: /^Project file/ }).fill('[board.cfg]\n-Wno-not-directive\n');
  await openBytes(bytes, 'board.cfg');
  await problems().filter({ hasText: '[-Wsubnet-move]' }).waitFor();
  await problems().filter({ hasText: '[-Wnot-directive]' }).waitFor({ state: 'detached' });
  await openBytes(bytes, 'other.cfg');
  await problems().filter({ hasText: '[-Wnot-directive]' }).waitFor();
  await page.getByRole('textbox', { name: /^Project file/ }).fill('');
});

await check('tools that fail to load are said, and nothing waits on them', async () => {
  const other = await context.newPage();
  await other.route('**/morvcfg_web.wasm', (route) => route.fulfill({ status: 200, contentType: 'application/wasm', body: Buffer.from('not wasm') }));
  await other.goto(`${origin}/`);
  await other.getByRole('status').filter({ hasText: /the tools could not be loaded.*Reload the page/ }).waitFor();
  await other.close();
});

await check('a share link opens the same bytes', async () => {
  await openBytes(odd, 'odd.cfg');
  await page.getByRole('button', { name: 'Share' }).click();
  await page.waitForFunction(() => location.hash.includes('name=odd.cfg&z='));
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
