// The download file a compilation gives, as the reader would see it, built
// from the values themselves rather than from the file's text.
#ifndef VIGIL_CORE_DECODE_COMPILED_IMAGE_H_
#define VIGIL_CORE_DECODE_COMPILED_IMAGE_H_

#include "core/compile/compilation.h"
#include "core/formats/download_reader.h"

namespace vigil {

// The settings, partition tree and code of `compilation`'s download file,
// with the record numbers the file gives them.
DownloadImage DownloadImageOf(const Compilation& compilation);

}  // namespace vigil

#endif  // VIGIL_CORE_DECODE_COMPILED_IMAGE_H_
