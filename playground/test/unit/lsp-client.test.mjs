// The worker's client: what it sends, in which order. A request must be answered about the text on
// screen, so every held-back edit goes before it; a busy spell keeps one timer, however many
// keystrokes come; a failure ends every waiting request.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { LspClient } from '../../src/lsp-client.js';

function fakeWorker() {
  return {
    posted: [],
    postMessage(message) {
      this.posted.push(message.kind === 'lsp' ? JSON.parse(message.body) : message);
    },
  };
}
const quiet = { sent() {}, diagnostics() {}, translated() {}, checked() {}, failure() {} };
const edit = (text) => ({ range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } }, text });
const methods = (worker) => worker.posted.map((m) => m.method ?? m.kind);

test('a request goes after the edits held back while the worker is busy', () => {
  const worker = fakeWorker();
  const client = new LspClient(worker, 'file:///d.cfg', quiet);
  client.open('');
  client.change([edit('a')]); // sent: the worker is free
  client.change([edit('b')]); // held: the worker analyses 'a'
  client.change([edit('c')]);
  assert.deepEqual(methods(worker), ['textDocument/didOpen', 'textDocument/didChange']);
  client.request('textDocument/hover', {});
  assert.deepEqual(methods(worker), ['textDocument/didOpen', 'textDocument/didChange', 'textDocument/didChange', 'textDocument/hover']);
  const held = worker.posted[2];
  assert.deepEqual(held.params.contentChanges.map((c) => c.text), ['b', 'c']);
  assert.equal(held.params.textDocument.version, client.version);
  clearTimeout(client.timer);
});

test('a busy spell keeps one timer, and the diagnostics of the busy version free the held edits', () => {
  const worker = fakeWorker();
  const client = new LspClient(worker, 'file:///d.cfg', quiet);
  client.open('');
  client.change([edit('a')]);
  const busy = client.version;
  client.change([edit('b')]);
  const timer = client.timer;
  client.change([edit('c')]);
  assert.equal(client.timer, timer, 'a keystroke started another timer');
  client.receive({ kind: 'lsp', replies: [JSON.stringify({ method: 'textDocument/publishDiagnostics', params: { uri: 'file:///d.cfg', version: busy, diagnostics: [] } })] });
  assert.equal(client.timer, null);
  assert.deepEqual(methods(worker).slice(-1), ['textDocument/didChange']);
  assert.deepEqual(worker.posted.at(-1).params.contentChanges.map((c) => c.text), ['b', 'c']);
});

test('a failure ends every waiting request, and nothing more is sent', async () => {
  const worker = fakeWorker();
  const failures = [];
  const client = new LspClient(worker, 'file:///d.cfg', { ...quiet, failure: (message) => failures.push(message) });
  const waiting = client.request('initialize', {});
  client.receive({ kind: 'error', message: 'the tools failed' });
  assert.equal(await waiting, null);
  assert.equal(await client.request('textDocument/hover', {}), null);
  assert.deepEqual(failures, ['the tools failed']);
  assert.deepEqual(methods(worker), ['initialize']);
});

test('a file opened under another name is the document of that name, and the old one is closed', () => {
  const worker = fakeWorker();
  const client = new LspClient(worker, 'file:///playground/board.cfg', quiet);
  client.open('a');
  client.open('b', 'file:///playground/team.cfg');
  client.open('c', 'file:///playground/team.cfg');
  assert.deepEqual(methods(worker), ['textDocument/didOpen', 'textDocument/didClose', 'textDocument/didOpen', 'textDocument/didOpen']);
  assert.equal(worker.posted[1].params.textDocument.uri, 'file:///playground/board.cfg');
  assert.equal(worker.posted[2].params.textDocument.uri, 'file:///playground/team.cfg');
  assert.equal(client.uri, 'file:///playground/team.cfg');
});
