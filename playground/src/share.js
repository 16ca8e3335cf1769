// Share links and the browser's copy of the text. A share link holds the description's bytes in
// the URL's fragment, which no request carries: compressed (deflate), in URL-safe base64, with the
// file's name. The copy kept for a reload stays in this browser's storage.

export function toBase64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

export function fromBase64url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text)) {
    throw new Error('the link holds characters that are not URL-safe base64');
  }
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

async function through(bytes, transform) {
  return new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(transform)).arrayBuffer());
}

// The fragment (without '#') of a link to these bytes, with the project file's text when there is
// one.
export async function shareFragment(bytes, name, project = '') {
  const packed = await through(bytes, new CompressionStream('deflate-raw'));
  let fragment = `name=${encodeURIComponent(name)}&z=${toBase64url(packed)}`;
  if (project) {
    const text = await through(new TextEncoder().encode(project), new CompressionStream('deflate-raw'));
    fragment += `&p=${toBase64url(text)}`;
  }
  return fragment;
}

// The bytes, name and project file a fragment holds; throws, saying why, when it holds none.
export async function openFragment(fragment) {
  const parameters = new URLSearchParams(fragment);
  const packed = parameters.get('z');
  if (!packed) {
    throw new Error('the link holds no text');
  }
  let bytes;
  let project = '';
  try {
    bytes = await through(fromBase64url(packed), new DecompressionStream('deflate-raw'));
    if (parameters.get('p')) {
      project = new TextDecoder().decode(await through(fromBase64url(parameters.get('p')), new DecompressionStream('deflate-raw')));
    }
  } catch (error) {
    throw new Error(`the link's text does not decode (${error.message}): it may have been cut short`);
  }
  return { bytes, name: parameters.get('name') || 'board.cfg', project };
}

const key = 'morvcfg-playground';

// The text kept for a reload: { bytes, name, example, dirty, project }, or null.
export function stored(storage) {
  try {
    const kept = JSON.parse(storage.getItem(key) ?? 'null');
    return kept
      ? {
          bytes: fromBase64url(kept.bytes),
          name: kept.name,
          example: kept.example ?? '',
          dirty: kept.dirty === true,
          project: kept.project ?? '',
          shared: kept.shared ?? '',
        }
      : null;
  } catch {
    return null;
  }
}

// `shared` is the share link's fragment the text came from or was shared as, if any: a reload at that
// address takes this copy, edits made after the link included, rather than the link's text.
export function store(storage, { bytes, name, example, dirty, project, shared = '' }) {
  try {
    storage.setItem(key, JSON.stringify({ bytes: toBase64url(bytes), name, example, dirty, project, shared }));
  } catch {
    // A full or refused storage keeps no copy; the page works on.
  }
}
