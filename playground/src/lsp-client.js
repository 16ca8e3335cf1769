// The page's side of the worker: the language server's client (the document's version, the edits
// held back while the worker is busy, the requests waiting for their answers) and the worker's
// other work (outputs and checks of bytes), each answer handed to whoever asked.
//
// Edits go to the server as soon as the worker is free: keystrokes that come while it analyses
// one version wait, and go together once it has answered (one timer covers an answer that never
// comes). A request always goes after every held-back edit, so that it is answered about the text
// on screen.

export class LspClient {
  // `worker`: the tools' Worker. `on`: { diagnostics(params), translated(data), checked(data),
  // compared(data), sent(version), failure(message), message(params) for what the server tells
  // the user }.
  constructor(worker, uri, on) {
    this.worker = worker;
    this.uri = uri;
    this.on = on;
    this.version = 0;
    this.unsent = [];
    this.busyWith = 0; // the version the worker is analysing, or 0
    this.busySince = 0;
    this.timer = null;
    this.pending = new Map();
    this.nextId = 1;
    this.failed = null;
    worker.onmessage = (event) => this.receive(event.data);
    worker.onerror = (event) => {
      event.preventDefault();
      this.fail(`the tools' worker failed: ${event.message || 'no reason given'}`);
    };
  }

  post(message) {
    if (!this.failed) {
      this.worker.postMessage(message);
    }
  }

  send(message) {
    this.post({ kind: 'lsp', body: JSON.stringify({ jsonrpc: '2.0', ...message }) });
  }

  notify(method, params) {
    this.send({ method, params });
  }

  // A request, answered with its result (null for an error, or once the worker has failed).
  request(method, params) {
    if (this.failed) {
      return Promise.resolve(null);
    }
    this.flush(true);
    const id = this.nextId++;
    this.send({ id, method, params });
    return new Promise((resolve) => this.pending.set(id, resolve));
  }

  // A new text for the document, under `uri` when it is given (the name the page shows): the
  // server checks it under that name, as the command line checks a file of that name.
  open(text, uri = this.uri) {
    if (uri !== this.uri) {
      this.notify('textDocument/didClose', { textDocument: { uri: this.uri } });
      this.uri = uri;
    }
    this.version += 1;
    this.unsent = [];
    this.busyWith = 0;
    clearTimeout(this.timer);
    this.timer = null;
    this.on.sent(this.version);
    this.notify('textDocument/didOpen', { textDocument: { uri: this.uri, languageId: 'morvcfg', version: this.version, text } });
  }

  // Changes to the document, in the order the server applies them.
  change(changes) {
    this.version += 1;
    this.unsent.push(...changes);
    this.flush(false);
  }

  // Sends the held-back edits: now when `force` or when the worker is free, else once it is.
  flush(force) {
    if (this.unsent.length === 0) {
      return;
    }
    const waited = performance.now() - this.busySince;
    if (!force && this.busyWith !== 0 && waited < 1000) {
      this.timer ??= setTimeout(() => {
        this.timer = null;
        this.flush(false);
      }, 1000 - waited);
      return;
    }
    clearTimeout(this.timer);
    this.timer = null;
    this.busyWith = this.version;
    this.busySince = performance.now();
    this.on.sent(this.version);
    this.notify('textDocument/didChange', { textDocument: { uri: this.uri, version: this.version }, contentChanges: this.unsent });
    this.unsent = [];
  }

  receive(data) {
    if (data.kind === 'lsp') {
      for (const reply of data.replies) {
        const message = JSON.parse(reply);
        if (message.id !== undefined && this.pending.has(message.id)) {
          this.pending.get(message.id)(message.result ?? null);
          this.pending.delete(message.id);
        } else if (message.method === 'window/showMessage') {
          this.on.message?.(message.params);
        } else if (message.method === 'textDocument/publishDiagnostics') {
          if (message.params.uri === this.uri && message.params.version === this.busyWith) {
            this.busyWith = 0;
            this.flush(false);
          }
          this.on.diagnostics(message.params);
        }
      }
    } else if (data.kind === 'translated') {
      this.on.translated(data);
    } else if (data.kind === 'checked') {
      this.on.checked(data);
    } else if (data.kind === 'compared') {
      this.on.compared(data);
    } else if (data.kind === 'error') {
      this.fail(data.message);
    }
  }

  // The worker cannot be trusted after a failure: every waiting request ends, and nothing more is
  // sent to it.
  fail(message) {
    if (this.failed) {
      return;
    }
    this.failed = message;
    for (const resolve of this.pending.values()) {
      resolve(null);
    }
    this.pending.clear();
    clearTimeout(this.timer);
    this.on.failure(message);
  }
}
