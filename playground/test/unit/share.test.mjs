// Share links: the bytes come back exactly, and a link that holds none says why.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { openFragment, shareFragment, store, stored } from '../../src/share.js';

test('a share link gives back the same bytes and name, whatever the bytes', async () => {
  const all = Uint8Array.from({ length: 256 * 3 }, (_, i) => (i * 7) % 256);
  for (const [bytes, name] of [[all, 'all bytes.cfg'], [new Uint8Array(), 'empty.cfg'], [new TextEncoder().encode('MORV_DNS(1.2.3.4);\r\n'), 'b&r=d.cfg']]) {
    const opened = await openFragment(await shareFragment(bytes, name));
    assert.deepEqual(opened, { bytes, name, project: '' });
  }
});

test('a share link carries the project file beside the text', async () => {
  const project = '# the team\'s\n-Wno-conditional-directive\n[boards/*.cfg]\n-Werror\n';
  const opened = await openFragment(await shareFragment(new Uint8Array([77]), 'b.cfg', project));
  assert.equal(opened.project, project);
});

test('a link whose text does not decode is refused with its reason', async () => {
  const rows = [
    ['name=x.cfg', /holds no text/],
    ['z=@@@', /does not decode/],
    ['z=AAAA', /does not decode/],
  ];
  for (const [fragment, reason] of rows) {
    await assert.rejects(openFragment(fragment), reason, fragment);
  }
});

test('the copy kept for a reload comes back, and a damaged one is no copy', () => {
  const storage = new Map();
  const kept = { getItem: (k) => storage.get(k) ?? null, setItem: (k, v) => storage.set(k, v) };
  const bytes = Uint8Array.from([0, 13, 10, 255]);
  store(kept, { bytes, name: 'a.cfg', example: '', dirty: true, project: '-Werror\n' });
  assert.deepEqual(stored(kept), { bytes, name: 'a.cfg', example: '', dirty: true, project: '-Werror\n', shared: '' });
  // The share link the text came from or was shared as travels with it.
  store(kept, { bytes, name: 'a.cfg', example: '', dirty: false, project: '', shared: 'name=a.cfg&z=AAAA' });
  assert.equal(stored(kept).shared, 'name=a.cfg&z=AAAA');
  storage.set([...storage.keys()][0], '{not json');
  assert.equal(stored(kept), null);
});
