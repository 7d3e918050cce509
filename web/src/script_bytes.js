// The bytes a script is compiled from. A browser editor holds lines, not
// line-end bytes: text typed or pasted is compiled with CR LF after every
// line but the last, one byte per character (the controller's single-byte
// code page read as Latin-1; a character beyond it becomes "?"). A file that
// was opened keeps its own bytes until it is edited.

export function bytesOfLines(lines) {
  const text = lines.join('\r\n');
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) {
    const code = text.charCodeAt(i);
    bytes[i] = code <= 0xff ? code : 0x3f;
  }
  return bytes;
}

// One character per byte: the editor shows the file's bytes one to one, so
// the compiler's byte columns are the editor's columns.
export function textOfBytes(bytes) {
  return new TextDecoder('latin1').decode(bytes);
}

function base64url(bytes) {
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

async function pipe(bytes, stream) {
  const piped = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(piped).arrayBuffer());
}

// The script as the fragment of a link: raw deflate, then base64url.
export async function shareFragment(bytes) {
  return 's=' + base64url(await pipe(bytes, new CompressionStream('deflate-raw')));
}

// The script a fragment holds, or null.
export async function scriptOfFragment(fragment) {
  const match = /^#?s=([A-Za-z0-9_-]*)$/.exec(fragment);
  if (!match) return null;
  return pipe(fromBase64url(match[1]), new DecompressionStream('deflate-raw'));
}
