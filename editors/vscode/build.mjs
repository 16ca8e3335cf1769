// Builds the extension's files for packaging: the extension bundled with esbuild from the packages
// the lock file pins (dist/extension.js for desktop and remote hosts, dist/web.js for VS Code for
// the Web), and the bundled server (server/): the node form of morvcfg-check, and the WebAssembly
// module with its loader before the worker's own script.
//   node build.mjs --tools <Emscripten build folder: morvcfg-check.js, web/morvcfg_web.{js,wasm}>
import { build } from 'esbuild';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const here = dirname(fileURLToPath(import.meta.url));
const { values } = parseArgs({ options: { tools: { type: 'string' } } });
if (!values.tools) {
  throw new Error('usage: node build.mjs --tools <Emscripten build folder>');
}
for (const folder of ['dist', 'server']) {
  rmSync(join(here, folder), { recursive: true, force: true });
  mkdirSync(join(here, folder));
}
const common = { bundle: true, minify: true, format: 'cjs', external: ['vscode'], legalComments: 'none', logLevel: 'warning' };
await build({ ...common, entryPoints: [join(here, 'src/extension.mjs')], outfile: join(here, 'dist/extension.js'), platform: 'node', target: 'node18' });
await build({ ...common, entryPoints: [join(here, 'src/web.mjs')], outfile: join(here, 'dist/web.js'), platform: 'browser', target: 'chrome110' });
// The licence travels in the package, as vsce wants it.
copyFileSync(join(here, '../../LICENSE'), join(here, 'LICENSE'));
copyFileSync(join(values.tools, 'morvcfg-check.js'), join(here, 'server/morvcfg-check.js'));
copyFileSync(join(values.tools, 'web/morvcfg_web.wasm'), join(here, 'server/morvcfg_web.wasm'));
writeFileSync(
  join(here, 'server/lsp-worker.js'),
  readFileSync(join(values.tools, 'web/morvcfg_web.js'), 'utf8') + '\n' + readFileSync(join(here, 'src/lsp-worker.js'), 'utf8'),
);
