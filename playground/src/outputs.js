// Outputs: the three files morvcfg writes for the description's bytes, shown and offered for
// download byte for byte, and the configuration the generated files hold.

const decoder = new TextDecoder();

// A download link's previous file stays readable for a minute: a download that a click started
// just before new outputs came still gets its bytes.
function offer(link, pre, bytes) {
  const old = link.href;
  if (old.startsWith('blob:')) {
    setTimeout(() => URL.revokeObjectURL(old), 60000);
  }
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  show(pre, decoder.decode(bytes));
}

// A box's text in blocks of kBlockLines lines, each replaced only when its text changed: after a
// keystroke in a long file the browser lays out again one block of the pass-through output, not
// all of it. The box's text (textContent) is the file's, whole.
const kBlockLines = 128;
function show(pre, text) {
  const blocks = [];
  for (let at = 0; at < text.length; ) {
    let end = at;
    for (let line = 0; line < kBlockLines && end < text.length; line += 1) {
      const feed = text.indexOf('\n', end);
      end = feed < 0 ? text.length : feed + 1;
    }
    blocks.push(text.slice(at, end));
    at = end;
  }
  const shown = pre.children;
  if (shown.length === 0 && pre.firstChild) {
    pre.textContent = ''; // text the page's markup put there
  }
  blocks.forEach((block, index) => {
    const existing = shown[index];
    if (!existing) {
      const div = document.createElement('div');
      div.textContent = block;
      pre.append(div);
    } else if (existing.textContent !== block) {
      existing.textContent = block;
    }
  });
  while (shown.length > blocks.length) {
    pre.lastElementChild.remove();
  }
}

// `slots`: for each file's name ('pass-through', 'morv_cfg.c', 'morv_cfg.h'), its link and box.
export function showFiles(slots, files) {
  for (const [name, { link, pre }] of Object.entries(slots)) {
    offer(link, pre, files[name]);
  }
}

// The configuration as [{ name, value, origin }], in the summary's order: each origin's text
// ("line 3, moved into the subnet set at line 1") with each line it names a button that
// `goToLine(line)` (from 1) takes the cursor to.
export function showConfiguration(table, settings, goToLine) {
  table.tBodies[0].replaceChildren(
    ...settings.map(({ name, value, origin }) => {
      const row = document.createElement('tr');
      for (const text of [name, value]) {
        const cell = document.createElement('td');
        cell.textContent = text;
        row.append(cell);
      }
      const from = document.createElement('td');
      const { text } = origin;
      let at = 0;
      for (const match of text.matchAll(/line (\d+)/g)) {
        from.append(text.slice(at, match.index));
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'origin';
        button.textContent = match[0];
        button.setAttribute('aria-label', `${name}: go to ${match[0]}`);
        button.addEventListener('click', () => goToLine(Number(match[1])));
        from.append(button);
        at = match.index + match[0].length;
      }
      from.append(text.slice(at));
      row.append(from);
      return row;
    }),
  );
}

// The checker's JSON configuration ({ addresses, macros, origins, defines }) as
// [{ name, value, origin }].
export function settingsOfReport(configuration) {
  const { origins } = configuration;
  return [
    ...Object.entries(configuration.addresses).map(([name, value]) => ({ name, value, origin: origins[name] })),
    ...Object.entries(configuration.macros).map(([name, value]) => ({ name, value: String(value), origin: origins[name] })),
    ...configuration.defines.map(({ name, value, origin }) => ({ name, value, origin })),
  ];
}

// A comparison (morvcfg-check --compare --format=json) in a table, a row a change; `none` says
// when the firmware gets the same.
export function showComparison(table, none, comparison) {
  const rows = comparison.changes.map((change) => {
    const row = document.createElement('tr');
    for (const text of [change.name, change.before || '(none)', change.after || '(none)', change.cause]) {
      const cell = document.createElement('td');
      cell.textContent = text;
      row.append(cell);
    }
    return row;
  });
  table.tBodies[0].replaceChildren(...rows);
  table.hidden = rows.length === 0;
  none.hidden = !comparison.same && rows.length > 0;
  none.textContent = comparison.same
    ? `No change: the firmware gets the same from ${comparison.new} as from ${comparison.old}.`
    : rows.length === 0
      ? `The pass-through copy's defines differ from ${comparison.old}'s (a define repeated or reordered).`
      : '';
}

// What changed between two configurations, as --fix says it.
export function configurationChanges(before, after) {
  const old = new Map(before.map(({ name, value }) => [name, value]));
  const now = new Map(after.map(({ name, value }) => [name, value]));
  const names = [...new Set([...old.keys(), ...now.keys()])];
  return names
    .filter((name) => old.get(name) !== now.get(name))
    .map((name) => `${name}: ${old.get(name) ?? '(none)'} -> ${now.get(name) ?? '(none)'}`);
}
