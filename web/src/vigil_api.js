// The C API of vigil.wasm (include/vigil/vigil.h) for JavaScript: script
// bytes in as a Uint8Array, the four files out as Uint8Arrays with exactly
// the bytes vigilc writes. Text never goes through a UTF-8 conversion: every
// byte is copied through HEAPU8 as it is.

const latin1 = new TextDecoder('latin1');

// The bytes of a NUL-terminated string at `pointer`, as one character each.
function cString(module, pointer) {
  if (pointer === 0) return null;
  const heap = module.HEAPU8;
  let end = pointer;
  while (heap[end] !== 0) end++;
  return latin1.decode(heap.subarray(pointer, end));
}

function sizeAt(module, pointer) {
  return new DataView(module.HEAPU8.buffer).getUint32(pointer, true);
}

// Calls `get(result, sizePointer)` and copies the bytes it points at.
function bytesOf(module, get) {
  const sizePointer = module._malloc(4);
  try {
    const pointer = get(sizePointer);
    const size = sizeAt(module, sizePointer);
    return module.HEAPU8.slice(pointer, pointer + size);
  } finally {
    module._free(sizePointer);
  }
}

// "YYYY-MM-DD HH:MM:SS" in local time, as vigilc writes into the listing.
export function localDateText(date = new Date()) {
  const two = (n) => String(n).padStart(2, '0');
  return `${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())} ` +
      `${two(date.getHours())}:${two(date.getMinutes())}:${two(date.getSeconds())}`;
}

// Bytes into the heap for `use(pointer)`, followed by a NUL byte.
function withBytes(module, bytes, use) {
  const pointer = module._malloc(bytes.length + 1);
  try {
    module.HEAPU8.set(bytes, pointer);
    module.HEAPU8[pointer + bytes.length] = 0;
    return use(pointer);
  } finally {
    module._free(pointer);
  }
}

// Compiles `script` for `use(result)` and frees the result after.
function withResult(module, script, use) {
  const result = withBytes(module, script, (p) => module._vigil_compile(p, script.length));
  if (result === 0) throw new Error('vigil: out of memory');
  try {
    return use(result);
  } finally {
    module._vigil_result_free(result);
  }
}

function jsonOf(module, pointer) {
  if (pointer === 0) throw new Error('vigil: out of memory');
  return JSON.parse(cString(module, pointer));
}

// One byte per character, as the page's script bytes (beyond Latin-1: "?").
function withCString(module, text, use) {
  const bytes = Uint8Array.from(text, (c) => {
    const code = c.codePointAt(0);
    return code <= 0xff ? code : 0x3f;
  });
  return withBytes(module, bytes, use);
}

export function wrapVigil(module) {
  return {
    version: () => cString(module, module._vigil_version()),
    keywords: () => cString(module, module._vigil_keywords()).split(' '),
    // The language's word lists by kind: {keywords, declarations, defines,
    // blocks, commands, conditions, properties, elements, events}.
    wordLists: () => jsonOf(module, module._vigil_word_lists_json()),
    // What an error or warning code means, or null.
    explanation: (code) => withCString(module, code, (p) => cString(module, module._vigil_explanation(p))),
    // Compiles `script` (a Uint8Array); the listing carries `date`.
    compile(script, date) {
      const input = module._malloc(Math.max(script.length, 1));
      module.HEAPU8.set(script, input);
      const result = module._vigil_compile(input, script.length);
      module._free(input);
      if (result === 0) throw new Error('vigil: out of memory');
      try {
        return {
          bin: bytesOf(module, (s) => module._vigil_download_file(result, s)),
          lst: withCString(module, date,
              (d) => bytesOf(module, (s) => module._vigil_listing(result, d, s))),
          err: bytesOf(module, (s) => module._vigil_error_file(result, s)),
          set: bytesOf(module, (s) => module._vigil_settings_table(result, s)),
          errorCount: module._vigil_error_count(result),
          lineCount: module._vigil_line_count(result),
          codeSize: module._vigil_code_size(result),
          diagnostics: JSON.parse(cString(module, module._vigil_diagnostics_json(result))),
          code: JSON.parse(cString(module, module._vigil_code_json(result))),
          events: JSON.parse(cString(module, module._vigil_events_json(result))),
        };
      } finally {
        module._vigil_result_free(result);
      }
    },
    // Runs `event` of `script` after the assignments of `state` (bytes, one
    // "NAME = VALUE" a line): what `vigil sim --json` prints, or {errors}.
    simulate: (script, event, state) => withResult(module, script, (result) =>
      withCString(module, event, (e) => withBytes(module, state,
          (s) => jsonOf(module, module._vigil_sim_json(result, e, s, state.length))))),
    // The decision tables of `event` of `script`, as `vigil paths --json`.
    paths: (script, event) => withResult(module, script, (result) =>
      withCString(module, event, (e) => jsonOf(module, module._vigil_paths_json(result, e)))),
    // What changed from `before` to `script` (both bytes), as `vigil diff`
    // prints it; null when either has errors.
    diff: (before, script) => withResult(module, before, (old) => withResult(module, script,
        (result) => {
          const pointer = module._vigil_diff_text(old, result);
          return pointer === 0 ? null : cString(module, pointer);
        })),
    // Runs the scenarios of `scenarios` (a scenario file's bytes) against `script`.
    runScenarios: (script, scenarios) => withResult(module, script, (result) =>
      withBytes(module, scenarios,
          (s) => jsonOf(module, module._vigil_scenarios_json(result, s, scenarios.length)))),
    // Which lines and IF branches those scenarios ran: {summary, lines, branches}.
    coverage: (script, scenarios) => withResult(module, script, (result) =>
      withBytes(module, scenarios,
          (s) => jsonOf(module, module._vigil_coverage_json(result, s, scenarios.length)))),
  };
}
