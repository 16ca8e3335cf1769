// The editor: CodeMirror on the description's text, with the server's hover, completion and
// diagnostics. Editor positions and the server's count lines the same way (CR LF, LF, lone CR)
// and characters in UTF-16 code units.
import { autocompletion } from '@codemirror/autocomplete';
import { defaultKeymap, history as undoHistory, historyKeymap, insertNewline } from '@codemirror/commands';
import { lintGutter, setDiagnostics } from '@codemirror/lint';
import { Annotation, Compartment, EditorState } from '@codemirror/state';
import { drawSelection, EditorView, highlightSpecialChars, hoverTooltip, keymap, lineNumbers } from '@codemirror/view';

export const external = Annotation.define(); // a change the description has made already

export function toPosition(doc, position) {
  const line = doc.line(Math.min(position.line + 1, doc.lines));
  return Math.min(line.from + position.character, line.to);
}

export function fromPosition(doc, pos) {
  const line = doc.lineAt(pos);
  return { line: line.number - 1, character: pos - line.from };
}

// `ask(method, params)` asks the server; `edited(transactions)` takes the user's edits;
// `quickFix(position)` shows the fixes of the warning at the cursor (Ctrl+. or Cmd+., as in VS Code).
export function createEditor(parent, { ask, uri, edited, quickFix }) {
  // uri(): the document's, which follows the name of the file opened.
  const editability = new Compartment();

  const hover = hoverTooltip(async (view, pos) => {
    const result = await ask('textDocument/hover', { textDocument: { uri: uri() }, position: fromPosition(view.state.doc, pos) });
    if (!result) {
      return null;
    }
    const line = view.state.doc.lineAt(pos);
    return {
      pos: line.from,
      end: line.to,
      above: true,
      create() {
        const dom = document.createElement('div');
        dom.className = 'morvcfg-hover';
        dom.setAttribute('role', 'tooltip');
        const text = document.createElement('pre');
        text.textContent = result.contents.value; // plain text: the client asks for no Markdown
        dom.append(text);
        return { dom };
      },
    };
  });

  async function complete(context) {
    const result = await ask('textDocument/completion', { textDocument: { uri: uri() }, position: fromPosition(context.state.doc, context.pos) });
    const items = result ? result.items ?? result : [];
    if (items.length === 0) {
      return null;
    }
    const from = items[0].textEdit ? toPosition(context.state.doc, items[0].textEdit.range.start) : context.pos;
    return {
      from,
      options: items.map((item) => ({
        label: item.label,
        detail: item.detail,
        info: item.documentation,
        apply: item.textEdit ? item.textEdit.newText : item.label,
      })),
    };
  }

  const view = new EditorView({
    parent,
    state: EditorState.create({
      doc: '',
      extensions: [
        lineNumbers(),
        highlightSpecialChars(),
        drawSelection(),
        undoHistory(),
        // A new line starts in the first column, where a directive must stand.
        keymap.of([
          { key: 'Enter', run: insertNewline },
          { key: 'Mod-.', run: (view) => quickFix(fromPosition(view.state.doc, view.state.selection.main.head)) },
          ...defaultKeymap,
          ...historyKeymap,
        ]),
        lintGutter(),
        hover,
        autocompletion({ override: [complete] }),
        editability.of([]),
        EditorView.contentAttributes.of({ 'aria-label': 'Description file text' }),
        EditorView.updateListener.of((update) => {
          if (update.docChanged) {
            edited(update.transactions.filter((t) => t.docChanged && !t.annotation(external)));
          }
        }),
      ],
    }),
  });

  // The text's box scrolls by keyboard too, read-only or not.
  view.scrollDOM.tabIndex = 0;

  return {
    view,
    // Replaces the whole text, read-only or not; not an edit of the user's.
    show(text, editable) {
      view.dispatch({
        changes: { from: 0, to: view.state.doc.length, insert: text },
        annotations: external.of(true),
        effects: editability.reconfigure(editable ? [] : [EditorState.readOnly.of(true)]),
      });
    },
    // Puts the cursor at the start of a line (from 1) and shows it.
    goToLine(line) {
      const doc = view.state.doc;
      const at = doc.line(Math.min(Math.max(line, 1), doc.lines)).from;
      view.dispatch({ selection: { anchor: at }, scrollIntoView: true });
      view.focus();
    },
    // Changes the description has made already (a fix), in server ranges.
    apply(edits) {
      const doc = view.state.doc;
      const changes = edits.map((e) => ({ from: toPosition(doc, e.range.start), to: toPosition(doc, e.range.end), insert: e.newText }));
      view.dispatch({ changes, annotations: external.of(true) });
    },
    // Diagnostics in the editor: [{ range, severity, message }] in server positions.
    mark(diagnostics) {
      const doc = view.state.doc;
      view.dispatch(
        setDiagnostics(
          view.state,
          diagnostics.map((d) => ({
            from: toPosition(doc, d.range.start),
            to: Math.max(toPosition(doc, d.range.end), toPosition(doc, d.range.start)),
            severity: d.severity,
            message: d.message,
          })),
        ),
      );
    },
  };
}
