// The extension in VS Code for the Web: the same server compiled to WebAssembly, in a worker
// started from a Blob URL (a remote extension host refuses a worker at the extension's own URI),
// with the module's binary read through VS Code's file system and handed in.
import * as vscode from 'vscode';
import { LanguageClient } from 'vscode-languageclient/browser';
import { holdsDirectives } from './server.mjs';

let client = null;

function claim(document) {
  const patterns = vscode.workspace.getConfiguration('morvcfg').get('files', ['**/*.cfg']);
  if (document.languageId !== 'morvcfg' && patterns.some((pattern) => vscode.languages.match({ pattern }, document) > 0) &&
      holdsDirectives(document.getText())) {
    vscode.languages.setTextDocumentLanguage(document, 'morvcfg');
  }
}

export async function activate(context) {
  context.subscriptions.push(vscode.workspace.onDidOpenTextDocument(claim));
  vscode.workspace.textDocuments.forEach(claim);
  const read = (name) => vscode.workspace.fs.readFile(vscode.Uri.joinPath(context.extensionUri, 'server', name));
  try {
    const [script, wasmBinary] = await Promise.all([read('lsp-worker.js'), read('morvcfg_web.wasm')]);
    const worker = new Worker(URL.createObjectURL(new Blob([script], { type: 'text/javascript' })));
    worker.postMessage({ wasmBinary }, [wasmBinary.buffer]);
    client = new LanguageClient('morvcfg', 'morvcfg-check', { documentSelector: [{ language: 'morvcfg' }] }, worker);
    await client.start();
  } catch (error) {
    vscode.window.showErrorMessage(`morvcfg: the bundled language server cannot start: ${error?.message ?? error}`);
  }
}

export async function deactivate() {
  if (client) {
    await client.stop();
  }
}
