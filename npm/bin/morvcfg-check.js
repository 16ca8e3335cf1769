#!/usr/bin/env node
// morvcfg-check, compiled to WebAssembly: it reads its arguments and the files they name from
// node, and leaves with the program's exit status.
require('../lib/morvcfg-check.js');
