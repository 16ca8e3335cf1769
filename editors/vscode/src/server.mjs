// What the extension decides before it starts a language server, apart from VS Code so that
// node:test can check it: which files are description files, which server runs, and with which
// arguments.

// A description file holds a directive: a line that starts with MORV_ (the translator reads only
// those, in the first column).
export function holdsDirectives(text) {
  return /^MORV_/m.test(text);
}

// The command line's options from the settings: `warnings` (-W words, each kept as written) and
// `config` (--config FILE), after --lsp.
export function serverArguments({ warnings = [], config = '' } = {}) {
  const args = ['--lsp'];
  for (const word of warnings) {
    if (typeof word === 'string' && word.startsWith('-W')) {
      args.push(word);
    }
  }
  if (config) {
    args.push('--config', config);
  }
  return args;
}

// The words of the `warnings` setting that are not -W options, for the one message that says so.
export function unusedWarnings(warnings = []) {
  return warnings.filter((word) => typeof word !== 'string' || !word.startsWith('-W'));
}

// The server to run: the `path` setting as given, else morvcfg-check in a folder of the PATH, else
// the bundled one (null where none is bundled). `exists(file)` says whether a program is there.
// `tried` lists the paths looked at, for the message of a server that cannot start.
export function findServer({ path = '', pathVariable = '', platform = 'linux', exists, bundled = null }) {
  const windows = platform === 'win32';
  if (path) {
    return { kind: 'native', command: path, tried: [path] };
  }
  const names = windows ? ['morvcfg-check.exe', 'morvcfg-check.cmd', 'morvcfg-check'] : ['morvcfg-check'];
  const separator = windows ? ';' : ':';
  const slash = windows ? '\\' : '/';
  const tried = [];
  for (const folder of pathVariable.split(separator).filter((f) => f.length > 0)) {
    for (const name of names) {
      const candidate = folder.endsWith(slash) || folder.endsWith('/') ? folder + name : folder + slash + name;
      tried.push(candidate);
      if (exists(candidate)) {
        return { kind: 'native', command: candidate, tried };
      }
    }
  }
  return bundled ? { kind: 'bundled', command: bundled, tried } : { kind: 'none', command: null, tried };
}
