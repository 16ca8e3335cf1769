// The tools, compiled to WebAssembly, in a worker of their own: the language server takes the
// page's messages and answers them, and the translator runs on the description's bytes.
/* global importScripts, createMorvcfg */
importScripts('morvcfg_web.js');

const PASS_THROUGH = 0;
const SOURCE = 1;
const HEADER = 2;
const CONFIGURATION = 3;
const REPLIES = 4;

const decoder = new TextDecoder();
const encoder = new TextEncoder();
const ready = createMorvcfg();
const queue = [];
let tools = null;

function put(bytes) {
  const at = tools._morvcfg_input(bytes.length);
  tools.HEAPU8.set(bytes, at);
}

function output(which) {
  const at = tools._morvcfg_output(which);
  return tools.HEAPU8.slice(at, at + tools._morvcfg_output_size(which));
}

function handle(message) {
  if (message.kind === 'lsp') {
    put(encoder.encode(message.body));
    tools._morvcfg_lsp_receive();
    const replies = decoder.decode(output(REPLIES)).split('\n').filter((line) => line.length > 0);
    postMessage({ kind: 'lsp', replies });
  } else if (message.kind === 'translate') {
    put(message.bytes);
    const [year, month, day, hour, minute, second] = message.time;
    const status = tools._morvcfg_translate(year, month, day, hour, minute, second);
    postMessage({
      kind: 'translated',
      id: message.id,
      status,
      passThrough: output(PASS_THROUGH),
      source: output(SOURCE),
      header: output(HEADER),
      configuration: JSON.parse(decoder.decode(output(CONFIGURATION))),
    });
  }
}

onmessage = (event) => {
  if (tools) {
    handle(event.data);
    return;
  }
  queue.push(event.data);
};

ready.then((module) => {
  tools = module;
  for (const message of queue.splice(0)) {
    handle(message);
  }
  postMessage({ kind: 'ready' });
});
