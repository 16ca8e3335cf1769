// The language server compiled to WebAssembly, in a worker of the web extension: its first
// message is the module's binary (a worker started from a Blob URL cannot fetch it), every later
// one a JSON-RPC message of the client, answered with the server's messages. The packaging puts
// the module's loader (morvcfg_web.js, which defines createMorvcfg) before this script.
/* global createMorvcfg */
const decoder = new TextDecoder();
const encoder = new TextEncoder();
const waiting = [];
let tools = null;
let replies = -1; // the slot of the server's replies

function receive(message) {
  const body = encoder.encode(JSON.stringify(message));
  const at = tools._morvcfg_input(body.length);
  tools.HEAPU8.set(body, at);
  tools._morvcfg_lsp_receive();
  const start = tools._morvcfg_output(replies);
  const text = decoder.decode(tools.HEAPU8.slice(start, start + tools._morvcfg_output_size(replies)));
  for (const line of text.split('\n')) {
    if (line.length > 0) {
      postMessage(JSON.parse(line));
    }
  }
}

onmessage = (event) => {
  if (tools) {
    receive(event.data);
  } else if (event.data && event.data.wasmBinary) {
    createMorvcfg({ wasmBinary: event.data.wasmBinary }).then((module) => {
      tools = module;
      for (let which = 0; ; which += 1) {
        const name = tools._morvcfg_output_name(which);
        if (name === 0) {
          break;
        }
        if (tools.UTF8ToString(name) === 'replies') {
          replies = which;
        }
      }
      waiting.splice(0).forEach(receive);
    });
  } else {
    waiting.push(event.data);
  }
};
