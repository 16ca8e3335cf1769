// The extension in a desktop or remote VS Code: description files get the morvcfg language, and
// morvcfg-check --lsp serves them: the program the settings or the PATH give, else the same server
// compiled to WebAssembly, bundled here, run by the extension host's own node.
import { existsSync, statSync } from 'node:fs';
import * as vscode from 'vscode';
import { LanguageClient } from 'vscode-languageclient/node';
import { findServer, holdsDirectives, serverArguments, unusedWarnings } from './server.mjs';

let client = null;
let said = new Set(); // messages already shown: each once

function sayOnce(text) {
  if (!said.has(text)) {
    said.add(text);
    vscode.window.showErrorMessage(text);
  }
}

function settings() {
  const config = vscode.workspace.getConfiguration('morvcfg');
  return {
    path: config.get('path', ''),
    files: config.get('files', ['**/*.cfg']),
    warnings: config.get('warnings', []),
    config: config.get('config', ''),
  };
}

// A document under the `files` patterns that holds a directive becomes a morvcfg document.
function claim(document) {
  if (document.languageId === 'morvcfg' || document.uri.scheme === 'output') {
    return;
  }
  const patterns = settings().files;
  if (patterns.some((pattern) => vscode.languages.match({ pattern }, document) > 0) && holdsDirectives(document.getText())) {
    vscode.languages.setTextDocumentLanguage(document, 'morvcfg');
  }
}

function isProgram(file) {
  try {
    return statSync(file).isFile();
  } catch {
    return false;
  }
}

async function start(context) {
  const { path, warnings, config } = settings();
  const bundled = context.asAbsolutePath('server/morvcfg-check.js');
  const server = findServer({
    path,
    pathVariable: process.env.PATH ?? '',
    platform: process.platform,
    exists: isProgram,
    bundled: existsSync(bundled) ? bundled : null,
  });
  const ignored = unusedWarnings(warnings);
  if (ignored.length > 0) {
    sayOnce(`morvcfg: morvcfg.warnings takes -W options only; ${ignored.join(', ')} is left out`);
  }
  if (server.kind === 'none') {
    sayOnce(`morvcfg: no morvcfg-check found (looked for it in: ${server.tried.join(', ') || 'an empty PATH'}); set morvcfg.path`);
    return;
  }
  const args = serverArguments({ warnings, config });
  const run =
    server.kind === 'native'
      ? { command: server.command, args }
      : { command: process.execPath, args: [server.command, ...args], options: { env: { ...process.env, ELECTRON_RUN_AS_NODE: '1' } } };
  client = new LanguageClient(
    'morvcfg',
    'morvcfg-check',
    { run, debug: run },
    {
      documentSelector: [{ language: 'morvcfg' }],
      synchronize: { fileEvents: vscode.workspace.createFileSystemWatcher('**/.morvcfg-check') },
    },
  );
  try {
    await client.start();
  } catch (error) {
    const tried = server.kind === 'native' ? server.command : `${process.execPath} ${server.command}`;
    sayOnce(`morvcfg: the language server ${tried} cannot start: ${error?.message ?? error}`);
    client = null;
  }
}

async function restart(context) {
  const stopping = client;
  client = null;
  if (stopping) {
    await stopping.stop().catch(() => {});
  }
  said = new Set();
  await start(context);
}

export async function activate(context) {
  context.subscriptions.push(
    vscode.workspace.onDidOpenTextDocument(claim),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (['morvcfg.path', 'morvcfg.warnings', 'morvcfg.config'].some((name) => event.affectsConfiguration(name))) {
        restart(context);
      }
    }),
  );
  vscode.workspace.textDocuments.forEach(claim);
  await start(context);
}

export async function deactivate() {
  if (client) {
    await client.stop();
  }
}
