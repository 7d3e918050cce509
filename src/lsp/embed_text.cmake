# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT, for a
# library that needs a text of the project (the language reference) built in.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from ${INPUT} by embed_text.cmake.\n#include <cstddef>\n"
  "namespace vigil::lsp {\nextern const unsigned char ${NAME}[] = {\n${bytes}0};\n"
  "extern const size_t ${NAME}Size = sizeof(${NAME}) - 1;\n}  // namespace vigil::lsp\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
