// The description file as the page holds it. Its bytes are what the tools read; the editor shows
// them as text. A file that is UTF-8 is edited as its text with its own line ends (CR LF, LF or a
// lone CR, each kept where it stands), and its bytes are that text encoded again, so an edit
// changes only what it touches. A file that is not UTF-8 (UTF-16 among them) is shown read-only,
// and its bytes stay exactly as they were opened.

const encoder = new TextEncoder();

// Where each line starts in `text`, and how long its line end is (0 for the last line); lines
// end at CR LF, LF or a lone CR, as the editor and the language server count them.
function lineTable(text) {
  const starts = [0];
  const ends = [];
  for (let i = 0; i < text.length; i++) {
    const c = text.charCodeAt(i);
    if (c === 10 || c === 13) {
      const crlf = c === 13 && text.charCodeAt(i + 1) === 10;
      ends.push(i);
      i += crlf ? 1 : 0;
      starts.push(i + 1);
    }
  }
  ends.push(text.length);
  return { starts, ends };
}

export class Description {
  // `bytes`: a Uint8Array. A new description (no file) is empty and takes CR LF line ends, as the
  // tool writes them.
  constructor(bytes, name = 'board.cfg') {
    this.name = name;
    this.bytes = bytes;
    try {
      this.text = new TextDecoder('utf-8', { fatal: true, ignoreBOM: true }).decode(bytes);
      this.editable = true;
    } catch {
      this.text = new TextDecoder('utf-8', { ignoreBOM: true }).decode(bytes);
      this.editable = false;
    }
    this.lines = lineTable(this.text);
  }

  // The line end a new line gets: the file's own (the first it has), CR LF in a file without one.
  lineEnd() {
    const match = /\r\n|\r|\n/.exec(this.text);
    return match ? match[0] : '\r\n';
  }

  // The offset in the text of an editor position: a line (from 0) and a character in it (UTF-16
  // code units, clamped to the line).
  offset(line, character) {
    const index = Math.min(Math.max(line, 0), this.lines.starts.length - 1);
    const start = this.lines.starts[index];
    return Math.min(start + Math.max(character, 0), this.lines.ends[index]);
  }

  // Replaces the text in the ranges given, each {from, to} as text offsets of the text as it is
  // now, not overlapping, with its text; the bytes follow.
  replace(changes) {
    if (!this.editable) {
      throw new Error('a file that is not UTF-8 is read-only');
    }
    let text = this.text;
    for (const change of [...changes].sort((a, b) => b.from - a.from)) {
      text = text.slice(0, change.from) + change.insert + text.slice(change.to);
    }
    this.text = text;
    this.bytes = encoder.encode(text);
    this.lines = lineTable(text);
  }

  // An edit the editor made, in its positions (line and character) before the edit: `inserted`
  // holds its lines, which take the file's line end between them.
  editorChange(fromLine, fromCharacter, toLine, toCharacter, insertedLines) {
    return {
      from: this.offset(fromLine, fromCharacter),
      to: this.offset(toLine, toCharacter),
      insert: insertedLines.join(this.lineEnd()),
    };
  }

  // The column GCC's form gives a character of a line: bytes from the start of the line, from 1,
  // the first line counted after a byte-order mark.
  byteColumn(line, character) {
    const start = this.lines.starts[Math.min(line, this.lines.starts.length - 1)];
    let prefix = this.text.slice(start, this.offset(line, character));
    if (line === 0 && prefix.startsWith('\ufeff')) {
      prefix = prefix.slice(1);
    }
    return encoder.encode(prefix).length + 1;
  }
}
