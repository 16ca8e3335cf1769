// The playground page: a CodeMirror editor on a description file, morvcfg-check's language server
// (in a Web Worker) checking it as it is typed, and morvcfg's three outputs. The file's bytes are
// what the tools read and what the page offers for download; the worker holds the tools, compiled
// from the same C++ as the programs, and nothing is sent anywhere else. This file joins the
// parts: the client of the worker (lsp-client.js), the editor, the problems, the outputs, and
// files with share links (share.js).
import { createEditor } from './editor.js';
import { LspClient } from './lsp-client.js';
import { configurationChanges, settingsOfReport, showComparison, showConfiguration, showFiles } from './outputs.js';
import { createProblems } from './problems.js';
import { openFragment, shareFragment, store, stored } from './share.js';
import { Description } from './text.js';

// The document is the file the page shows, by its name, in the folder the project file's box
// stands for: the checks take the options a project file gives that name, as the command line does.
const uriOf = (name) => `file:///playground/${encodeURIComponent(name)}`;
let uri = uriOf('board.cfg');
const $ = (id) => document.getElementById(id);
// What the tests wait on: documentVersion, outputsWanted and outputsVersion (the outputs on screen
// are the latest when those two are equal), diagnosticsVersion, configurationVersion, and
// comparisonWanted and comparisonShown.
const state = document.body.dataset;

let description = new Description(new Uint8Array(), 'board.cfg');
let dirty = false; // edited since it was opened or saved
let replaced = null; // what the last open replaced over unsaved edits, for Undo
let configuration = []; // the settings on screen
let fixReport = null; // what Fix all changed, said once its version's configuration is known

function say(text) {
  $('status').textContent = text;
}

// ---- The worker.

let translation = 0;
let checkId = 0;
function translate() {
  translation += 1;
  state.outputsWanted = String(translation);
  const now = new Date();
  client.post({
    kind: 'translate',
    id: translation,
    bytes: description.bytes.slice(),
    time: [now.getFullYear(), now.getMonth() + 1, now.getDate(), now.getHours(), now.getMinutes(), now.getSeconds()],
  });
}

const client = new LspClient(new Worker('worker.js'), uri, {
  sent(version) {
    state.documentVersion = String(version);
    translate();
    compare();
  },
  diagnostics: showDiagnostics,
  translated: showOutputs,
  checked: showReport,
  compared: showCompared,
  message(params) {
    say(params.message);
    // A project file that cannot be used is said at its box too, where it is typed.
    if (params.message.includes('.morvcfg-check')) {
      $('project-error').textContent = params.message.replace(/^morvcfg-check: /, '');
      $('project-error').hidden = false;
    }
  },
  failure(message) {
    say(`${message}. Reload the page to start again: your text is kept.`);
    document.body.classList.add('failed');
  },
});

// ---- The editor and the description.

const editor = createEditor($('editor'), {
  uri: () => uri,
  quickFix: (position) => problems.focusFixes(position),
  ask: (method, params) => client.request(method, params),
  edited(transactions) {
    const changes = [];
    for (const transaction of transactions) {
      const before = transaction.startState.doc;
      const made = [];
      const sent = [];
      transaction.changes.iterChanges((fromA, toA, _fromB, _toB, inserted) => {
        const from = before.lineAt(fromA);
        const to = before.lineAt(toA);
        const change = description.editorChange(from.number - 1, fromA - from.from, to.number - 1, toA - to.from, inserted.toJSON());
        made.push(change);
        sent.push({
          range: { start: { line: from.number - 1, character: fromA - from.from }, end: { line: to.number - 1, character: toA - to.from } },
          text: change.insert,
        });
      });
      // The server applies changes one after the other: the last first, so that each range still
      // stands where it stood.
      changes.push(...sent.reverse());
      description.replace(made);
    }
    if (changes.length > 0) {
      changed(changes);
    }
  },
});

function changed(changes) {
  dirty = true;
  state.outputsWanted = String(translation + 1);
  client.change(changes);
  state.documentVersion = String(client.version);
  keep();
}

// Applies a workspace edit from the server, when it was made for the text on screen; says whether
// it did.
function applyEdit(edit) {
  let edits;
  if (edit.documentChanges) {
    const mine = edit.documentChanges.filter((change) => change.textDocument.uri === uri);
    if (mine.some((change) => change.textDocument.version !== client.version)) {
      return false;
    }
    edits = mine.flatMap((change) => change.edits);
  } else {
    edits = edit.changes?.[uri] ?? [];
  }
  if (!description.editable || edits.length === 0) {
    return false;
  }
  editor.apply(edits);
  description.replace(
    edits.map((e) => ({
      from: description.offset(e.range.start.line, e.range.start.character),
      to: description.offset(e.range.end.line, e.range.end.character),
      insert: e.newText,
    })),
  );
  const last = (a, b) => b.range.start.line - a.range.start.line || b.range.start.character - a.range.start.character;
  changed([...edits].sort(last).map((e) => ({ range: e.range, text: e.newText })));
  return true;
}

// ---- Problems.

const problems = createProblems({
  list: $('problems'),
  empty: $('no-problems'),
  fixAll: $('fix-all'),
  uri: () => uri,
  ask: (method, params) => client.request(method, params),
  apply: applyEdit,
  version: () => client.version,
  focusEditor: () => editor.view.focus(),
});

// Includes cannot be read here: the line says so, as the command line would read the file.
function includeNotices() {
  const notices = [];
  description.text.split(/\r\n|\r|\n/).forEach((text, line) => {
    const include = /^\s*#\s*include\s*"([^"]+)"/.exec(text);
    if (include) {
      notices.push({
        range: { start: { line, character: 0 }, end: { line, character: text.length } },
        severity: 'info',
        message: `the browser cannot read '${include[1]}', so the directives in it are not checked here (morvcfg-check on your machine says whether they set anything: -Wincluded-directive)`,
      });
    }
  });
  return notices;
}

function mark(list) {
  editor.mark([
    ...list.map((p) => ({
      range: { start: { line: p.line, character: p.character }, end: p.end ?? { line: p.line, character: p.character } },
      severity: p.level === 'error' ? 'error' : 'warning',
      message: `${p.message} [-W${p.code}]`,
    })),
    ...includeNotices(),
  ]);
}

function showDiagnostics(params) {
  if (params.uri !== uri || params.version !== client.version || !description.editable) {
    return;
  }
  const list = params.diagnostics.map((d) => ({
    line: d.range.start.line,
    character: d.range.start.character,
    end: d.range.end,
    column: description.byteColumn(d.range.start.line, d.range.start.character),
    level: d.severity === 1 ? 'error' : 'warning',
    message: d.message,
    code: d.code,
    notes: (d.relatedInformation ?? []).map((r) => ({
      line: r.location.range.start.line + 1,
      column: r.location.uri === uri ? description.byteColumn(r.location.range.start.line, r.location.range.start.character) : r.location.range.start.character + 1,
      message: r.message,
    })),
    diagnostic: d,
  }));
  mark(list);
  problems.show(list, params.version, true);
  state.diagnosticsVersion = String(params.version);
  askConfiguration(params.version);
}

// A file the server cannot be given as text (not UTF-8) is checked from its bytes.
function showReport(data) {
  if (data.id !== checkId) {
    return;
  }
  const file = data.report.files[0];
  const list = file.warnings.map((w) => ({
    line: w.line - 1,
    character: Math.max(w.column - 1, 0),
    column: w.column,
    level: w.level,
    message: w.message,
    code: w.category,
    notes: w.notes.map((n) => ({ line: n.line, column: n.column, message: n.message })),
  }));
  mark(list);
  problems.show(list, client.version, false);
  state.diagnosticsVersion = String(client.version);
  shownConfiguration(settingsOfReport(file.configuration), client.version);
}

async function askConfiguration(version) {
  const settings = await client.request('morvcfg/configuration', { textDocument: { uri } });
  if (settings && version === client.version) {
    shownConfiguration(settings, version);
  }
}

function shownConfiguration(settings, version) {
  configuration = settings;
  showConfiguration($('configuration'), settings, (line) => editor.goToLine(line));
  state.configurationVersion = String(version);
  if (fixReport && fixReport.version === version) {
    const changes = configurationChanges(fixReport.before, settings);
    say(
      `Fix all applied ${fixReport.title.replace(/^Apply all certain fixes \((\d+)\)$/, (_, n) => `${n} ${n === '1' ? 'fix' : 'fixes'}`)}; ` +
        (changes.length > 0 ? `the configuration morvcfg generates changes: ${changes.join('; ')}` : 'the configuration morvcfg generates stays the same'),
    );
    fixReport = null;
  }
}

$('fix-all').addEventListener('click', async () => {
  const actions = await client.request('textDocument/codeAction', {
    textDocument: { uri },
    range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } },
    context: { diagnostics: [], only: ['source.fixAll'] },
  });
  const fixAll = (actions ?? []).find((action) => action.edit);
  const before = configuration;
  if (fixAll && applyEdit(fixAll.edit)) {
    fixReport = { before, title: fixAll.title, version: client.version };
    editor.view.focus();
  }
});

// ---- Outputs.

const slots = {
  'pass-through': { link: $('download-pass'), pre: $('pass-through') },
  'morv_cfg.c': { link: $('download-source'), pre: $('source') },
  'morv_cfg.h': { link: $('download-header'), pre: $('header') },
};

function showOutputs(data) {
  if (data.id !== translation) {
    return;
  }
  showFiles(slots, data.files);
  if (data.status !== 0) {
    say('morvcfg failed on this description');
  }
  state.outputsVersion = String(data.id);
}

// ---- Compare with...: a second file, or the text the share link opened with, against the text
// on the left, compared again after each change.

let base = null; // { bytes, name }
const comparisonIntro = $('comparison-none').textContent;
let comparison = 0;
function compare() {
  if (!base) {
    return;
  }
  comparison += 1;
  state.comparisonWanted = String(comparison);
  client.post({
    kind: 'compare',
    id: comparison,
    baseName: base.name,
    base: base.bytes.slice(),
    name: description.name,
    bytes: description.bytes.slice(),
  });
}

function showCompared(data) {
  if (data.id !== comparison || !base) {
    return;
  }
  showComparison($('comparison'), $('comparison-none'), data.comparison);
  state.comparisonShown = String(data.id);
}

function compareWith(bytes, name) {
  base = { bytes, name };
  $('compare-stop').hidden = false;
  compare();
}

$('compare-file').addEventListener('change', async (event) => {
  const [file] = event.target.files;
  if (file) {
    compareWith(new Uint8Array(await file.arrayBuffer()), file.name);
  }
  event.target.value = '';
});
$('compare-shared').addEventListener('click', async () => {
  try {
    const { bytes, name } = await openFragment(shared);
    compareWith(bytes, `shared:${name}`);
  } catch (error) {
    say(`The linked original cannot be opened: ${error.message}.`);
  }
});
$('compare-stop').addEventListener('click', () => {
  base = null;
  $('compare-stop').hidden = true;
  $('comparison').hidden = true;
  $('comparison-none').hidden = false;
  $('comparison-none').textContent = comparisonIntro;
});

// ---- Files: examples, opening and saving a local file, share links, the copy kept for a reload.

let keeping = null;
function keep() {
  clearTimeout(keeping);
  keeping = setTimeout(
    () =>
      store(localStorage, {
        bytes: description.bytes,
        name: description.name,
        example: $('example').value,
        dirty,
        project: $('project').value,
        shared,
      }),
    300,
  );
}

// The project file the box holds, as beside the description: the worker takes it, the server
// checks the text again, and a file checked from its bytes is checked again.
function setProject(text) {
  $('project').value = text;
  projectChanged();
}
function projectChanged() {
  $('project-error').hidden = true; // said again by the server if it still cannot be used
  client.post({ kind: 'project', text: $('project').value });
  client.notify('workspace/didChangeWatchedFiles', { changes: [{ uri: 'file:///playground/.morvcfg-check', type: 2 }] });
  if (!description.editable) {
    checkId += 1;
    client.post({ kind: 'check', id: checkId, name: description.name, bytes: description.bytes.slice() });
  }
  keep();
}
let projectTyping = null;
$('project').addEventListener('input', () => {
  clearTimeout(projectTyping);
  projectTyping = setTimeout(projectChanged, 300);
});

// Opens bytes as the description, replacing what the editor holds; unsaved edits it replaces can
// be had back with Undo.
function open(bytes, name, example = '') {
  replaced = dirty ? { bytes: description.bytes, name: description.name, example: $('example').value } : null;
  $('undo-bar').hidden = replaced === null;
  if (replaced) {
    $('undo-text').textContent = `Your edited ${replaced.name} was replaced by ${name}.`;
  }
  description = new Description(bytes, name);
  dirty = false;
  $('example').value = example;
  $('file-name').textContent = name;
  const notice = $('notice');
  notice.hidden = description.editable;
  notice.textContent = description.editable
    ? ''
    : 'This file is not UTF-8 (UTF-16, say): it is shown read-only, and its problems and outputs are those of its exact bytes.';
  editor.show(description.text, description.editable);
  uri = uriOf(name);
  client.open(description.text, uri);
  if (!description.editable) {
    checkId += 1;
    client.post({ kind: 'check', id: checkId, name: description.name, bytes: description.bytes.slice() });
  }
  keep();
}

$('undo').addEventListener('click', () => {
  if (replaced) {
    const { bytes, name, example } = replaced;
    open(bytes, name, example);
    dirty = true;
    keep();
    $('undo-bar').hidden = true;
    editor.view.focus();
  }
});

async function openExample(name) {
  const response = await fetch(`examples/${name}`);
  open(new Uint8Array(await response.arrayBuffer()), name, name);
}

$('example').addEventListener('change', (event) => openExample(event.target.value));
$('open').addEventListener('change', async (event) => {
  const [file] = event.target.files;
  if (file) {
    open(new Uint8Array(await file.arrayBuffer()), file.name);
  }
  event.target.value = '';
});
$('save').addEventListener('click', () => {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([description.bytes], { type: 'application/octet-stream' }));
  link.download = description.name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000); // once the download surely has its bytes
  dirty = false;
  keep();
});
$('share').addEventListener('click', async () => {
  setShared(await shareFragment(description.bytes, description.name, $('project').value));
  history.replaceState(null, '', `#${shared}`);
  keep();
  say('The link to this text is in the address bar.');
});

// A share link pasted into this page's address bar changes only the fragment: it opens too.
let shared = '';
function setShared(fragment) {
  shared = fragment ?? '';
  $('compare-shared').disabled = shared === '';
}
window.addEventListener('hashchange', () => openShared(location.hash.slice(1)));
async function openShared(fragment) {
  if (fragment === shared) {
    return true;
  }
  setShared(fragment);
  try {
    const { bytes, name, project } = await openFragment(fragment);
    setProject(project);
    open(bytes, name);
    return true;
  } catch (error) {
    say(`This share link cannot be opened: ${error.message}.`);
    return false;
  }
}

// ---- Start: the server, then the shared text, the text kept from before, or the first example.

(async () => {
  await client.request('initialize', {
    processId: null,
    rootUri: null,
    capabilities: {
      general: { positionEncodings: ['utf-16'] },
      textDocument: { completion: { completionItem: { snippetSupport: false } }, hover: { contentFormat: ['plaintext'] } },
      workspace: { workspaceEdit: { documentChanges: true } },
    },
  });
  client.notify('initialized', {});
  // The address holds a share link: the link's text, unless this page shared it or opened it and
  // kept a copy since, which then holds the edits made after it.
  const fragment = location.hash.slice(1);
  const kept = stored(localStorage);
  if (fragment && !(kept && kept.shared === fragment)) {
    if (await openShared(fragment)) {
      return;
    }
  }
  if (kept) {
    setShared(kept.shared);
    setProject(kept.project);
    open(kept.bytes, kept.name, kept.example);
    dirty = kept.dirty;
  } else {
    await openExample($('example').value);
  }
})();
