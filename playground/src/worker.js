// The tools, compiled to WebAssembly, in a worker of their own: the language server takes the
// page's messages and answers them, the translator runs on the description's bytes, the checker
// checks bytes the server cannot be given as text, and compares the description with another text. Every message gets an answer: a
// failure (a trap in the module, say) is an answer of kind "error".
/* global importScripts, createMorvcfg */
importScripts('morvcfg_web.js');

const decoder = new TextDecoder();
const encoder = new TextEncoder();
const ready = createMorvcfg();
const queue = [];
let tools = null;
let slots = null; // each output's slot, by the name the module gives it

function put(bytes) {
  const at = tools._morvcfg_input(bytes.length);
  tools.HEAPU8.set(bytes, at);
}

function output(name) {
  const which = slots.get(name);
  const at = tools._morvcfg_output(which);
  return tools.HEAPU8.slice(at, at + tools._morvcfg_output_size(which));
}

function handle(message) {
  if (message.kind === 'lsp') {
    put(encoder.encode(message.body));
    tools._morvcfg_lsp_receive();
    const replies = decoder.decode(output('replies')).split('\n').filter((line) => line.length > 0);
    postMessage({ kind: 'lsp', replies });
  } else if (message.kind === 'translate') {
    put(message.bytes);
    const [year, month, day, hour, minute, second] = message.time;
    const status = tools._morvcfg_translate(year, month, day, hour, minute, second);
    const files = Object.fromEntries(['pass-through', 'morv_cfg.c', 'morv_cfg.h'].map((name) => [name, output(name)]));
    postMessage({ kind: 'translated', id: message.id, status, files });
  } else if (message.kind === 'project') {
    put(encoder.encode(message.text));
    tools._morvcfg_set_project_file();
  } else if (message.kind === 'check') {
    put(encoder.encode(message.name ?? 'board.cfg'));
    tools._morvcfg_set_name();
    put(message.bytes);
    tools._morvcfg_check();
    postMessage({ kind: 'checked', id: message.id, report: JSON.parse(decoder.decode(output('report'))) });
  } else if (message.kind === 'compare') {
    put(encoder.encode(message.baseName));
    tools._morvcfg_set_base(1);
    put(message.base);
    tools._morvcfg_set_base(0);
    put(encoder.encode(message.name));
    tools._morvcfg_set_name();
    put(message.bytes);
    tools._morvcfg_compare();
    postMessage({ kind: 'compared', id: message.id, comparison: JSON.parse(decoder.decode(output('report'))) });
  }
}

function answer(message) {
  try {
    handle(message);
  } catch (error) {
    postMessage({ kind: 'error', message: `the tools failed (${error.message ?? error}) on a ${message.kind} message` });
  }
}

onmessage = (event) => {
  if (tools) {
    answer(event.data);
  } else {
    queue.push(event.data);
  }
};

ready.then(
  (module) => {
    tools = module;
    slots = new Map();
    for (let which = 0; ; which += 1) {
      const name = tools._morvcfg_output_name(which);
      if (name === 0) {
        break;
      }
      slots.set(tools.UTF8ToString(name), which);
    }
    for (const message of queue.splice(0)) {
      answer(message);
    }
  },
  (error) => postMessage({ kind: 'error', message: `the tools could not be loaded (${error.message ?? error})` }),
);
