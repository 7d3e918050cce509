/* The C API's diagnostics of a large script read a page at a time: compiles
 * the file given, pages through every diagnostic as JSON, and prints the
 * count, the JSON bytes and the process's peak memory. */
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>

#include "vigil/vigil.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: capi_pages SCRIPT\n");
    return 2;
  }
  FILE* file = fopen(argv[1], "rb");
  if (file == NULL) return 2;
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  unsigned char* bytes = malloc((size_t)size);
  if (bytes == NULL || fread(bytes, 1, (size_t)size, file) != (size_t)size) return 2;
  fclose(file);
  vigil_result* result = vigil_compile(bytes, (size_t)size);
  free(bytes);
  size_t count = vigil_diagnostic_count(result);
  size_t json_bytes = 0;
  const size_t page = 10000;
  for (size_t first = 0; first < count; first += page) {
    const char* json = vigil_diagnostics_json_page(result, first, page);
    while (*json != '\0') {
      ++json_bytes;
      ++json;
    }
  }
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  printf("C API pages: %zu diagnostics, %zu bytes of JSON, peak %ld MB\n", count, json_bytes,
         usage.ru_maxrss / 1024);
  vigil_result_free(result);
  return 0;
}
