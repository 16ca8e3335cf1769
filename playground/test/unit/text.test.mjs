// The description as the page holds it: an edit changes only what it touches, with the file's
// own line ends, and the columns are those GCC's form gives.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Description } from '../../src/text.js';

const bytes = (text) => new TextEncoder().encode(text);

test('an editor change keeps each line end where it stands, and takes the file\'s own for new lines', () => {
  const rows = [
    // [file, change (from line, character, to line, character, inserted lines), bytes after]
    ['a\r\nb\r\n', [1, 1, 1, 1, ['', 'c']], 'a\r\nb\r\nc\r\n'],
    ['a\nb\rc\r\n', [1, 0, 1, 1, ['x']], 'a\nx\rc\r\n'],
    ['', [0, 0, 0, 0, ['M', '']], 'M\r\n'],
    ['\uFEFFMORV\r\n', [0, 1, 0, 5, ['X']], '\uFEFFX\r\n'],
    ['a\r\nb', [0, 1, 1, 0, ['']], 'ab'],
  ];
  for (const [file, [fromLine, fromCharacter, toLine, toCharacter, inserted], after] of rows) {
    const description = new Description(bytes(file));
    description.replace([description.editorChange(fromLine, fromCharacter, toLine, toCharacter, inserted)]);
    assert.deepEqual(description.bytes, bytes(after), JSON.stringify(file));
  }
});

test('a file that is not UTF-8 is read-only, and its bytes stay as opened', () => {
  const utf16 = new Uint8Array([0xff, 0xfe, 0x4d, 0x00, 0x0d, 0x00, 0x0a, 0x00]);
  const description = new Description(utf16);
  assert.equal(description.editable, false);
  assert.throws(() => description.replace([{ from: 0, to: 1, insert: 'x' }]));
  assert.deepEqual(description.bytes, utf16);
});

test('columns count bytes from 1, after a byte-order mark, as the command line does', () => {
  const description = new Description(bytes('\uFEFFab\r\n/* \u65E5 */ MORV\r\n'));
  assert.equal(description.byteColumn(0, 1), 1);
  assert.equal(description.byteColumn(0, 3), 3);
  assert.equal(description.byteColumn(1, 8), 11);
  assert.equal(description.offset(9, 0), description.text.lastIndexOf('\n') + 1, 'a line past the end');
});
