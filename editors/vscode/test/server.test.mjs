// The extension's decisions before a server starts: files claimed, server found, arguments given.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { findServer, holdsDirectives, serverArguments, unusedWarnings } from '../src/server.mjs';

test('a .cfg file is a description file only when a line starts with MORV_', () => {
  const rows = [
    ['MORV_IFCFG(10.0.0.2, 255.0.0.0);\n', true],
    ['/* board */\r\nCRE_TSK(A, {});\r\nMORV_DNS(10.0.0.3);\r\n', true],
    ['[section]\nkey=value\n', false],
    ['  MORV_DNS(10.0.0.3);\n', false],
    ['text MORV_DNS(10.0.0.3);\n', false],
    ['', false],
  ];
  for (const [text, claimed] of rows) {
    assert.equal(holdsDirectives(text), claimed, JSON.stringify(text));
  }
});

test('the settings become the command line', () => {
  assert.deepEqual(serverArguments(), ['--lsp']);
  assert.deepEqual(serverArguments({ warnings: ['-Wno-override', '-Werror=subnet-move'], config: 'team.cfg' }), [
    '--lsp', '-Wno-override', '-Werror=subnet-move', '--config', 'team.cfg',
  ]);
  assert.deepEqual(serverArguments({ warnings: ['no-override', 3, '-Wall'] }), ['--lsp', '-Wall']);
  assert.deepEqual(unusedWarnings(['no-override', '-Wall']), ['no-override']);
});

test('the server: the setting, else the PATH in order, else the bundled one', () => {
  const there = (files) => (file) => files.includes(file);
  assert.deepEqual(findServer({ path: '/opt/m/morvcfg-check', exists: there([]) }), {
    kind: 'native', command: '/opt/m/morvcfg-check', tried: ['/opt/m/morvcfg-check'],
  });
  const found = findServer({ pathVariable: '/usr/bin:/usr/local/bin:', exists: there(['/usr/local/bin/morvcfg-check']) });
  assert.deepEqual(found, {
    kind: 'native', command: '/usr/local/bin/morvcfg-check', tried: ['/usr/bin/morvcfg-check', '/usr/local/bin/morvcfg-check'],
  });
  assert.equal(findServer({ pathVariable: '/usr/bin', exists: there([]), bundled: '/ext/server/morvcfg-check.js' }).kind, 'bundled');
  assert.equal(findServer({ pathVariable: '/usr/bin', exists: there([]) }).kind, 'none');
  const windows = findServer({
    platform: 'win32', pathVariable: 'C:\\Tools;C:\\morvcfg\\bin\\', exists: there(['C:\\morvcfg\\bin\\morvcfg-check.exe']),
  });
  assert.equal(windows.command, 'C:\\morvcfg\\bin\\morvcfg-check.exe');
});
