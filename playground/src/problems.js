// Problems: the warnings as morvcfg-check prints them (line:column in bytes, as GCC counts), each
// with its notes and a button per fix. A fix is applied only to the version of the text it was
// made for; a button older than the text asks the server again.

// A warning as the list shows it: { line (from 0), character (UTF-16, for the editor), column
// (bytes, from 1), level, message, code, notes: [{ line (from 1), column, message }] }.
export function shownText(problem) {
  return `${problem.line + 1}:${problem.column}: ${problem.level}: ${problem.message} [-W${problem.code}]`;
}

// The page beside this one that explains every kind of warning, each at its name.
export const explanationPage = 'morvcfg-check-warnings.html';

// A fix button's text: the server's title; the ignore, which every warning has, names its warning,
// so that a list of them reads apart, to a screen reader too.
export function buttonText(action, diagnostic) {
  return action.title === 'Ignore this warning on this line' && diagnostic
    ? `Ignore -W${diagnostic.code} on line ${diagnostic.range.start.line + 1}`
    : action.title;
}

const sameDiagnostic = (a, b) => a.code === b.code && a.message === b.message && a.range.start.line === b.range.start.line;

// `ask(method, params)` asks the server; `apply(edit)` applies a workspace edit when it is made for
// the text on screen, and says whether it did; `version()` is the text's version now; `focusEditor()`.
export function createProblems({ list, empty, fixAll, uri, ask, apply, version, focusEditor }) {
  let shown = [];
  let fixesAsked = null;
  const fixesPause = 250; // ms

  async function fixWith(action, made) {
    let edit = action.edit;
    if (made !== version()) {
      // The button is older than the text: the same fix of the same warning, asked for again about
      // the text now, wherever the warning went (the nearest, should there be more than one).
      const [diagnostic] = action.diagnostics ?? [];
      const actions = await ask('textDocument/codeAction', {
        textDocument: { uri: uri() },
        range: { start: { line: 0, character: 0 }, end: { line: 1 << 30, character: 0 } },
        context: { diagnostics: [], only: ['quickfix'] },
      });
      const line = diagnostic ? diagnostic.range.start.line : 0;
      const distance = (a) => Math.abs((a.diagnostics?.[0]?.range.start.line ?? line) - line);
      const again = (actions ?? [])
        .filter((a) => a.title === action.title && a.edit)
        .filter((a) => !diagnostic || (a.diagnostics ?? []).some((d) => d.code === diagnostic.code && d.message === diagnostic.message))
        .sort((a, b) => distance(a) - distance(b))[0];
      if (!again) {
        return;
      }
      edit = again.edit;
    }
    const index = [...list.children].findIndex((item) => item.contains(document.activeElement));
    if (apply(edit)) {
      // Focus goes to the problem that takes this one's place, or back to the text.
      queueMicrotask(() => {
        const next = list.children[Math.max(index, 0)]?.querySelector('button');
        if (next) {
          next.focus();
        } else {
          focusEditor();
        }
      });
    }
  }

  async function addFixes(problems, items, made) {
    fixAll.disabled = true;
    if (problems.length === 0) {
      return;
    }
    const actions = await ask('textDocument/codeAction', {
      textDocument: { uri: uri() },
      range: { start: { line: 0, character: 0 }, end: { line: 1 << 30, character: 0 } },
      context: { diagnostics: [], only: ['quickfix'] },
    });
    if (made !== version() || !actions) {
      return;
    }
    for (const action of actions) {
      const [diagnostic] = action.diagnostics ?? [];
      const at = diagnostic ? problems.findIndex((p) => p.diagnostic && sameDiagnostic(p.diagnostic, diagnostic)) : -1;
      if (action.edit && at >= 0) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = buttonText(action, diagnostic);
        button.addEventListener('click', () => fixWith(action, made));
        items[at].querySelector('.fixes').append(button);
      }
    }
    fixAll.disabled = !actions.some((action) => action.isPreferred);
  }

  return {
    // Shows the problems of the text's version `made`; `fixable` when the server has them (a file
    // it was given as text).
    show(problems, made, fixable) {
      shown = problems;
      empty.hidden = problems.length > 0;
      // Items whose text is the same stay as they are: a keystroke changes few of a long list.
      const items = problems.map((problem, index) => {
        const text = shownText(problem);
        const notes = problem.notes.map((note) => `${note.line}:${note.column}: note: ${note.message}`);
        const existing = list.children[index];
        if (existing && existing.dataset.text === text && existing.dataset.notes === notes.join('\n')) {
          existing.querySelector('.fixes').replaceChildren();
          return existing;
        }
        const item = document.createElement('li');
        item.className = problem.level;
        item.dataset.text = text;
        item.dataset.notes = notes.join('\n');
        const span = document.createElement('span');
        span.className = 'problem';
        span.textContent = text;
        item.append(span, ' ');
        const explain = document.createElement('a');
        explain.className = 'explain';
        explain.href = `${explanationPage}#${encodeURIComponent(problem.code)}`;
        explain.target = '_blank';
        explain.textContent = `What -W${problem.code} means`;
        item.append(explain);
        if (notes.length > 0) {
          const sub = document.createElement('ul');
          sub.className = 'notes';
          for (const note of notes) {
            const li = document.createElement('li');
            li.textContent = note;
            sub.append(li);
          }
          item.append(sub);
        }
        const fixes = document.createElement('div');
        fixes.className = 'fixes';
        item.append(fixes);
        if (existing) {
          existing.replaceWith(item);
        } else {
          list.append(item);
        }
        return item;
      });
      while (list.children.length > items.length) {
        list.lastChild.remove();
      }
      // The fixes are asked for once typing pauses: every keystroke would otherwise queue a request
      // for the whole document's fixes ahead of the next keystroke's check.
      clearTimeout(fixesAsked);
      fixAll.disabled = true;
      if (fixable) {
        fixesAsked = setTimeout(() => addFixes(problems, items, made), fixesPause);
      }
    },
    // Focuses the first fix of the warning at `position` (the nearest on its line); true when it has one.
    focusFixes(position) {
      const distance = (p) => (p.line === position.line ? Math.abs(p.character - position.character) : Infinity);
      const order = shown.map((p, index) => index).sort((a, b) => distance(shown[a]) - distance(shown[b]));
      for (const index of order) {
        const button = distance(shown[index]) < Infinity && list.children[index]?.querySelector('.fixes button');
        if (button) {
          button.scrollIntoView({ block: 'nearest' });
          button.focus();
          return true;
        }
      }
      return false;
    },
    get count() {
      return shown.length;
    },
  };
}
