// Builds the playground's static site: the page's JavaScript and its worker bundled with esbuild
// from the packages the lock file pins, beside the tools compiled to WebAssembly and the examples.
//   node build.mjs --out <site> --tools <folder of morvcfg_web.js and .wasm> --examples <folder>
//                  --docs <folder of the page that explains the warnings>
import { build } from 'esbuild';
import { copyFileSync, mkdirSync, rmSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseArgs } from 'node:util';

const here = dirname(fileURLToPath(import.meta.url));
const { values } = parseArgs({
  options: { out: { type: 'string' }, tools: { type: 'string' }, examples: { type: 'string' }, docs: { type: 'string' } },
});
if (!values.out || !values.tools || !values.examples || !values.docs) {
  throw new Error('usage: node build.mjs --out <site> --tools <folder> --examples <folder> --docs <folder>');
}
rmSync(values.out, { recursive: true, force: true });
mkdirSync(join(values.out, 'examples'), { recursive: true });

await build({
  entryPoints: { app: join(here, 'src/main.js'), worker: join(here, 'src/worker.js') },
  outdir: values.out,
  bundle: true,
  minify: true,
  format: 'iife',
  target: ['chrome110', 'firefox115', 'safari16'],
  legalComments: 'none',
  logLevel: 'warning',
});
for (const file of ['index.html', 'style.css']) {
  copyFileSync(join(here, 'src', file), join(values.out, file));
}
for (const file of ['morvcfg_web.js', 'morvcfg_web.wasm']) {
  copyFileSync(join(values.tools, file), join(values.out, file));
}
copyFileSync(join(values.docs, 'morvcfg-check-warnings.html'), join(values.out, 'morvcfg-check-warnings.html'));
for (const file of ['target.cfg', 'board-with-mistakes.cfg']) {
  copyFileSync(join(values.examples, file), join(values.out, 'examples', file));
}
