// The playground page: a CodeMirror editor on a description file, morvcfg-check's language server
// (in a Web Worker) checking it as it is typed, and morvcfg's three outputs. The file's bytes are
// what the tools read and what the page offers for download; the worker holds the tools, compiled
// from the same C++ as the programs, and nothing is sent anywhere else.
import { autocompletion } from '@codemirror/autocomplete';
import { defaultKeymap, history as undoHistory, historyKeymap, insertNewline } from '@codemirror/commands';
import { lintGutter, setDiagnostics } from '@codemirror/lint';
import { Annotation, Compartment, EditorState } from '@codemirror/state';
import { drawSelection, EditorView, highlightSpecialChars, hoverTooltip, keymap, lineNumbers } from '@codemirror/view';

import { Description } from './text.js';

const uri = 'file:///playground/description.cfg';
const decoder = new TextDecoder();
const $ = (id) => document.getElementById(id);

// ---- The worker: the language server and the translator.

const worker = new Worker('worker.js');
let nextId = 1;
const pending = new Map();

function send(message) {
  worker.postMessage({ kind: 'lsp', body: JSON.stringify({ jsonrpc: '2.0', ...message }) });
}
function request(method, params) {
  const id = nextId++;
  send({ id, method, params });
  return new Promise((resolve) => pending.set(id, resolve));
}
function notify(method, params) {
  send({ method, params });
}

worker.onmessage = (event) => {
  const data = event.data;
  if (data.kind === 'lsp') {
    for (const reply of data.replies) {
      const message = JSON.parse(reply);
      if (message.id !== undefined && pending.has(message.id)) {
        pending.get(message.id)(message.result ?? null);
        pending.delete(message.id);
      } else if (message.method === 'textDocument/publishDiagnostics') {
        showDiagnostics(message.params);
      }
    }
  } else if (data.kind === 'translated') {
    showOutputs(data);
  }
};

// ---- The description and the editor.

let description = new Description(new Uint8Array(), 'board.cfg');
let version = 0;
const external = Annotation.define(); // a change the description has made already
const editability = new Compartment();

// Editor positions and the server's: both count lines the same way (CR LF, LF, lone CR) and
// characters in UTF-16 code units.
function toPosition(doc, position) {
  const line = doc.line(Math.min(position.line + 1, doc.lines));
  return Math.min(line.from + position.character, line.to);
}
function fromPosition(doc, pos) {
  const line = doc.lineAt(pos);
  return { line: line.number - 1, character: pos - line.from };
}

const hover = hoverTooltip(async (view, pos) => {
  const result = await request('textDocument/hover', { textDocument: { uri }, position: fromPosition(view.state.doc, pos) });
  if (!result) {
    return null;
  }
  const line = view.state.doc.lineAt(pos);
  return {
    pos: line.from,
    end: line.to,
    above: true,
    create() {
      const dom = document.createElement('div');
      dom.className = 'morvcfg-hover';
      dom.setAttribute('role', 'tooltip');
      const text = document.createElement('pre');
      text.textContent = result.contents.value;
      dom.append(text);
      return { dom };
    },
  };
});

async function complete(context) {
  const result = await request('textDocument/completion', {
    textDocument: { uri },
    position: fromPosition(context.state.doc, context.pos),
  });
  const items = result ? result.items ?? result : [];
  if (items.length === 0) {
    return null;
  }
  const from = items[0].textEdit ? toPosition(context.state.doc, items[0].textEdit.range.start) : context.pos;
  return {
    from,
    options: items.map((item) => ({
      label: item.label,
      detail: item.detail,
      info: item.documentation,
      apply: item.textEdit ? item.textEdit.newText : item.label,
    })),
  };
}

const view = new EditorView({
  parent: $('editor'),
  state: EditorState.create({
    doc: '',
    extensions: [
      lineNumbers(),
      highlightSpecialChars(),
      drawSelection(),
      undoHistory(),
      // A new line starts in the first column, where a directive must stand.
      keymap.of([{ key: 'Enter', run: insertNewline }, ...defaultKeymap, ...historyKeymap]),
      lintGutter(),
      hover,
      autocompletion({ override: [complete] }),
      editability.of([]),
      EditorView.updateListener.of((update) => {
        if (update.docChanged) {
          edited(update.transactions);
        }
      }),
    ],
  }),
});

// The editor's edits, made to the description's text with its own line ends.
function edited(transactions) {
  let changed = false;
  for (const transaction of transactions) {
    if (!transaction.docChanged || transaction.annotation(external)) {
      continue;
    }
    const before = transaction.startState.doc;
    const changes = [];
    const sent = [];
    transaction.changes.iterChanges((fromA, toA, _fromB, _toB, inserted) => {
      const from = before.lineAt(fromA);
      const to = before.lineAt(toA);
      const change = description.editorChange(from.number - 1, fromA - from.from, to.number - 1, toA - to.from, inserted.toJSON());
      changes.push(change);
      sent.push({
        range: {
          start: { line: from.number - 1, character: fromA - from.from },
          end: { line: to.number - 1, character: toA - to.from },
        },
        text: change.insert,
      });
    });
    // The server applies changes one after the other: the last first, so that each range still
    // stands where it stood.
    unsent.push(...sent.reverse());
    description.replace(changes);
    changed = true;
  }
  if (changed) {
    documentChanged();
  }
}

// Opens bytes as the description, replacing what the editor holds.
function open(bytes, name) {
  description = new Description(bytes, name);
  $('file-name').textContent = name;
  const notice = $('notice');
  notice.hidden = description.editable;
  notice.textContent = description.editable
    ? ''
    : 'This file is not UTF-8 (UTF-16, say): it is shown read-only, and its outputs are those of its exact bytes.';
  view.dispatch({
    changes: { from: 0, to: view.state.doc.length, insert: description.text },
    annotations: external.of(true),
    effects: editability.reconfigure(description.editable ? [] : [EditorState.readOnly.of(true)]),
  });
  version += 1;
  document.body.dataset.documentVersion = String(version);
  unsent = [];
  busyWith = 0;
  translate();
  notify('textDocument/didOpen', { textDocument: { uri, languageId: 'morvcfg', version, text: description.text } });
}

// A change goes to the worker at once, as the changes it made (the server's text is the
// description's), the outputs asked for first, as they take the worker less time than the
// analysis. Keystrokes that come while the worker is busy with one wait, and go together once it
// has answered.
let unsent = [];
let busyWith = 0; // the version the worker is analysing, or 0
let busySince = 0;
function documentChanged() {
  version += 1;
  document.body.dataset.documentVersion = String(version);
  document.body.dataset.outputsWanted = String(translation + 1);
  sendChanges();
}
function sendChanges() {
  if (unsent.length === 0) {
    return;
  }
  if (busyWith !== 0 && performance.now() - busySince < 1000) {
    setTimeout(sendChanges, 1000); // should its answer never come
    return;
  }
  busyWith = version;
  busySince = performance.now();
  translate();
  notify('textDocument/didChange', { textDocument: { uri, version }, contentChanges: unsent });
  unsent = [];
}

// Applies a workspace edit from the server to the description (its exact text) and the editor.
function applyEdit(edit) {
  const edits = edit.changes ? edit.changes[uri] ?? [] : (edit.documentChanges ?? []).flatMap((change) => change.edits);
  const doc = view.state.doc;
  const changes = edits.map((e) => ({
    from: description.offset(e.range.start.line, e.range.start.character),
    to: description.offset(e.range.end.line, e.range.end.character),
    insert: e.newText,
  }));
  const editorChanges = edits.map((e) => ({ from: toPosition(doc, e.range.start), to: toPosition(doc, e.range.end), insert: e.newText }));
  description.replace(changes);
  view.dispatch({ changes: editorChanges, annotations: external.of(true) });
  const last = (a, b) => b.range.start.line - a.range.start.line || b.range.start.character - a.range.start.character;
  unsent.push(...[...edits].sort(last).map((e) => ({ range: e.range, text: e.newText })));
  documentChanged();
}

// ---- Problems: the server's diagnostics, in the editor and as a list with their fixes.

function showDiagnostics(params) {
  if (params.uri === uri && params.version === busyWith) {
    busyWith = 0;
    sendChanges();
  }
  if (params.uri !== uri || (params.version !== undefined && params.version !== version)) {
    return;
  }
  const doc = view.state.doc;
  view.dispatch(
    setDiagnostics(
      view.state,
      params.diagnostics.map((d) => ({
        from: toPosition(doc, d.range.start),
        to: Math.max(toPosition(doc, d.range.end), toPosition(doc, d.range.start)),
        severity: d.severity === 1 ? 'error' : 'warning',
        message: `${d.message} [-W${d.code}]`,
      })),
    ),
  );
  // Items whose text is the same stay as they are: a keystroke changes few of a long list.
  const list = $('problems');
  const items = params.diagnostics.map((diagnostic, index) => {
    const level = diagnostic.severity === 1 ? 'error' : 'warning';
    const { line, character } = diagnostic.range.start;
    const shown = `${line + 1}:${description.byteColumn(line, character)}: ${level}: ${diagnostic.message} [-W${diagnostic.code}]`;
    const existing = list.children[index];
    if (existing && existing.firstChild.textContent === shown) {
      existing.querySelectorAll('button').forEach((button) => button.remove());
      return existing;
    }
    const item = document.createElement('li');
    item.className = level;
    const text = document.createElement('span');
    text.textContent = shown;
    item.append(text);
    if (existing) {
      existing.replaceWith(item);
    } else {
      list.append(item);
    }
    return item;
  });
  while (list.children.length > items.length) {
    list.lastChild.remove();
  }
  addFixes(params.diagnostics, items, version);
  document.body.dataset.diagnosticsVersion = String(params.version ?? version);
}

// Each fix as a button under its warning: the quick fixes of the whole document, asked for once.
async function addFixes(diagnostics, items, shown) {
  if (diagnostics.length === 0) {
    return;
  }
  const actions = await request('textDocument/codeAction', {
    textDocument: { uri },
    range: { start: { line: 0, character: 0 }, end: { line: view.state.doc.lines, character: 0 } },
    context: { diagnostics: [], only: ['quickfix'] },
  });
  if (shown !== version || !actions) {
    return;
  }
  const key = (d) => `${d.range.start.line}:${d.range.start.character}:${d.code}:${d.message}`;
  const index = new Map(diagnostics.map((d, i) => [key(d), i]));
  for (const action of actions) {
    const at = (action.diagnostics ?? []).map((d) => index.get(key(d))).find((i) => i !== undefined);
    if (action.edit && at !== undefined) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = action.title;
      button.addEventListener('click', () => applyEdit(action.edit));
      items[at].append(button);
    }
  }
}

$('fix-all').addEventListener('click', async () => {
  const actions = await request('textDocument/codeAction', {
    textDocument: { uri },
    range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } },
    context: { diagnostics: [], only: ['source.fixAll'] },
  });
  const fixAll = (actions ?? []).find((action) => action.edit);
  if (fixAll) {
    applyEdit(fixAll.edit);
  }
});

// ---- Outputs: what morvcfg writes for the description's bytes.

// Each change asks for the outputs again (body's data-outputs-wanted); those on screen are those
// of data-outputs-version, and they are the latest when the two are equal.
let translation = 0;
function translate() {
  translation += 1;
  document.body.dataset.outputsWanted = String(translation);
  const now = new Date();
  worker.postMessage({
    kind: 'translate',
    id: translation,
    bytes: description.bytes.slice(),
    time: [now.getFullYear(), now.getMonth() + 1, now.getDate(), now.getHours(), now.getMinutes(), now.getSeconds()],
  });
}

function offer(link, pre, bytes) {
  if (link.href.startsWith('blob:')) {
    URL.revokeObjectURL(link.href);
  }
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  pre.textContent = decoder.decode(bytes);
}

function showOutputs(data) {
  if (data.id !== translation) {
    return;
  }
  offer($('download-pass'), $('pass-through'), data.passThrough);
  offer($('download-source'), $('source'), data.source);
  offer($('download-header'), $('header'), data.header);
  const configuration = data.configuration.files[0].configuration;
  const rows = [
    ...Object.entries(configuration.addresses),
    ...Object.entries(configuration.macros).map(([name, value]) => [name, String(value)]),
    ...configuration.defines.map((define) => [define.name, define.value]),
  ];
  $('configuration').tBodies[0].replaceChildren(
    ...rows.map(([name, value]) => {
      const row = document.createElement('tr');
      for (const text of [name, value]) {
        const cell = document.createElement('td');
        cell.textContent = text;
        row.append(cell);
      }
      return row;
    }),
  );
  $('status').textContent = data.status === 0 ? '' : 'morvcfg failed on this description';
  document.body.dataset.outputsVersion = String(data.id);
}

// ---- Files: examples, opening and saving a local file, and share links.

async function openExample(name) {
  const response = await fetch(`examples/${name}`);
  open(new Uint8Array(await response.arrayBuffer()), name);
}

$('example').addEventListener('change', (event) => openExample(event.target.value));
$('open').addEventListener('change', async (event) => {
  const [file] = event.target.files;
  if (file) {
    open(new Uint8Array(await file.arrayBuffer()), file.name);
  }
});
$('save').addEventListener('click', () => {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([description.bytes], { type: 'application/octet-stream' }));
  link.download = description.name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000); // once the download surely has its bytes
});

// A share link holds the description's bytes in the URL's fragment, which no request carries:
// compressed (deflate), in URL-safe base64, with the file's name.
function toBase64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}
function fromBase64url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}
async function through(bytes, transform) {
  return new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(transform)).arrayBuffer());
}

$('share').addEventListener('click', async () => {
  const packed = await through(description.bytes, new CompressionStream('deflate-raw'));
  const fragment = `name=${encodeURIComponent(description.name)}&z=${toBase64url(packed)}`;
  history.replaceState(null, '', `#${fragment}`);
  $('status').textContent = 'The link to this text is in the address bar.';
});

async function openShared(fragment) {
  const parameters = new URLSearchParams(fragment);
  const bytes = await through(fromBase64url(parameters.get('z') ?? ''), new DecompressionStream('deflate-raw'));
  open(bytes, parameters.get('name') ?? 'board.cfg');
}

// ---- Start: the server, then the shared text or the first example.

(async () => {
  await request('initialize', {
    processId: null,
    rootUri: null,
    capabilities: {
      general: { positionEncodings: ['utf-16'] },
      textDocument: { completion: { completionItem: { snippetSupport: false } } },
    },
  });
  notify('initialized', {});
  const fragment = location.hash.slice(1);
  if (fragment.includes('z=')) {
    await openShared(fragment);
  } else {
    await openExample($('example').value);
  }
})();
