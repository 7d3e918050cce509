/* The Vigil compiler as a C library: script bytes in, the four files and the
 * diagnostics out. The same core as vigilc; nothing here touches a file, the
 * clock or the environment.
 *
 *   vigil_result* result = vigil_compile(bytes, size);
 *   size_t size;
 *   const unsigned char* bin = vigil_download_file(result, &size);
 *   ...
 *   vigil_result_free(result);
 *
 * Ownership: a vigil_result is owned by the caller and released with
 * vigil_result_free. Every pointer a function returns from a result belongs to
 * that result and stays valid until vigil_result_free, except the listing's,
 * which stays valid until the next vigil_listing call on the same result, and
 * those of vigil_sim_json and vigil_scenarios_json, which stay valid until the
 * next call of the same function on the same result.
 * Strings that do not come from a result (vigil_version, vigil_explanation,
 * vigil_keywords) are static and never freed. Texts are bytes: the script's bytes above 127
 * are passed through unchanged, every file line ends in CR LF, and each
 * returned buffer is followed by a NUL byte that `size` does not count.
 *
 * No function lets a C++ exception escape (in the WebAssembly build, which
 * catches none, running out of memory throws to the JavaScript caller). A
 * function given NULL for the result returns NULL, 0 or an empty text. */
#ifndef VIGIL_VIGIL_H_
#define VIGIL_VIGIL_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(VIGIL_SHARED_BUILD)
#define VIGIL_API __declspec(dllexport)
#elif defined(__GNUC__) && !defined(_WIN32)
#define VIGIL_API __attribute__((visibility("default")))
#else
#define VIGIL_API
#endif

typedef struct vigil_result vigil_result;

enum vigil_severity { VIGIL_ERROR = 0, VIGIL_WARNING = 1 };

/* "1.0": the version vigilc reports and writes into the listing. */
VIGIL_API const char* vigil_version(void);

/* Compiles `size` bytes of script (NULL is allowed when size is 0). Returns
 * NULL only when memory runs out. */
VIGIL_API vigil_result* vigil_compile(const unsigned char* script, size_t size);
VIGIL_API void vigil_result_free(vigil_result* result);

/* The four files exactly as vigilc writes them. The listing carries the date
 * given, "YYYY-MM-DD HH:MM:SS" (vigilc writes its local time there); a date
 * of any other shape, or no real date and time ("2020-02-30", "24:00:00"),
 * gives an empty text. */
VIGIL_API const unsigned char* vigil_download_file(const vigil_result* result, size_t* size);
VIGIL_API const unsigned char* vigil_listing(vigil_result* result, const char* date, size_t* size);
VIGIL_API const unsigned char* vigil_error_file(const vigil_result* result, size_t* size);
VIGIL_API const unsigned char* vigil_settings_table(const vigil_result* result, size_t* size);

/* The errors the error file counts, the lines the listing counts and the
 * size of the code buffer (trailer included). */
VIGIL_API int vigil_error_count(const vigil_result* result);
VIGIL_API int vigil_line_count(const vigil_result* result);
VIGIL_API size_t vigil_code_size(const vigil_result* result);

/* The diagnostics as `vigil check` shows them: the errors with their notes
 * and the warnings, in line order (one without a line last); an error that
 * only follows from an earlier structural one is counted in a note of the
 * first (vigil_show_all_diagnostics lists it too). `index` runs from 0 to
 * count - 1; an index out of range gives NULL, 0 or -1. Each diagnostic is
 * made when first asked for, so a script of millions of errors costs memory
 * only for the diagnostics read. */
VIGIL_API size_t vigil_diagnostic_count(const vigil_result* result);
/* "E6" for error 6, "W1" for warning 1. */
VIGIL_API const char* vigil_diagnostic_code(const vigil_result* result, size_t index);
VIGIL_API int vigil_diagnostic_severity(const vigil_result* result, size_t index);
VIGIL_API const char* vigil_diagnostic_message(const vigil_result* result, size_t index);
/* Where the diagnostic points: the 1-based line of the script file (CR LF,
 * a lone CR and a lone LF each end one) and the byte range [begin, end) it
 * marks, as offsets into the script given to vigil_compile. Returns 0 and
 * leaves the outputs alone when the diagnostic has no line. */
VIGIL_API int vigil_diagnostic_location(const vigil_result* result, size_t index, int* line,
                                        size_t* begin, size_t* end);
VIGIL_API size_t vigil_diagnostic_note_count(const vigil_result* result, size_t index);
VIGIL_API const char* vigil_diagnostic_note(const vigil_result* result, size_t index, size_t note);

/* With `all` non-zero, also the errors that follow from an earlier one, as
 * `vigil check --all`; 0 folds them again. Pointers the diagnostic functions
 * returned before stay valid until the result is freed. */
VIGIL_API void vigil_show_all_diagnostics(vigil_result* result, int all);

/* All diagnostics as `vigil check --format=json` prints them, with "script"
 * as the file name. Bytes above 127 are written as \u0080 to \u00ff. The
 * text grows with the number of diagnostics: page through a large list with
 * vigil_diagnostics_json_page. */
VIGIL_API const char* vigil_diagnostics_json(const vigil_result* result);
/* Diagnostics first to first + count - 1 (clipped to the list) in the same
 * form; valid until the next call of this function on the same result. */
VIGIL_API const char* vigil_diagnostics_json_page(vigil_result* result, size_t first, size_t count);

/* The code beside the script: a JSON array with one object per decoded item
 * of the code buffer, {"line": L, "offset": O, "text": T}, where L is the
 * script line whose code holds the item (0 for the trailer and anything no
 * line produced) and T is the item as `vigil dis` prints it. */
VIGIL_API const char* vigil_code_json(const vigil_result* result);

/* The simulator (as `vigil sim` and `vigil test` run it): the compiled code
 * on a model of the controller, everything OFF and 0 at the start. A script
 * with errors is not run: the functions below give "[]" or one error on
 * line 0. */

/* The events the script has blocks for, in the order of their first block:
 * a JSON array of {"name": "FRONT.VALID", "module": 1, "event": 1,
 * "line": L, "blocks": B}, L the line of the first block's EVENT line and B
 * the blocks the event fires. */
VIGIL_API const char* vigil_events_json(vigil_result* result);

/* Runs `event` ("FRONT.VALID") after setting the states of `state`: `size`
 * bytes of lines "NAME = VALUE" as `vigil sim --set` and a scenario's SET take
 * them (blank lines and lines starting with ';' are left out). Returns the
 * JSON `vigil sim --json` prints, with "script" as the script's name, or
 * {"errors": [{"line", "column", "end_column", "code", "message", "text"}]}
 * where line 0 is the event, line n the state's line n, and the columns
 * count in "text", the line as read ("EVENT FRONT.VALID", "SET CARS = 3").
 * NULL for a NULL result or event, or when memory runs out. */
VIGIL_API const char* vigil_sim_json(vigil_result* result, const char* event,
                                     const unsigned char* state, size_t size);

/* Runs every scenario of `size` bytes of scenario file, each on a fresh
 * controller; its lines end as a script's do (CR LF or a lone CR):
 * {"passed": N, "failed": N, "summary": "N passed, N failed",
 * "errors": [...as above, columns in the scenario line, with "severity":
 * "error" or "warning"...], "scenarios":
 * [{"name", "line", "passed", "failures": [{"line", "message"}], "trace"}]}.
 * A file with errors is not run (no scenarios); warnings do not stop it.
 * NULL for a NULL result or when memory runs out. */
VIGIL_API const char* vigil_scenarios_json(vigil_result* result, const unsigned char* scenarios,
                                           size_t size);

/* Which lines and IF branches the scenarios of `size` bytes of scenario file
 * ran, as `vigil test --coverage` counts them:
 * {"summary": "15 of 18 (83%) lines, 6 of 6 (100%) IF branches",
 * "lines": [{"line", "runs"}], "branches": [{"line", "held", "failed"}]},
 * every line with code and every IF in line order. When the script or the
 * file has errors nothing runs: every count is 0 (and no line is listed for a
 * script with errors). NULL for a NULL result or when memory runs out. Valid
 * until the next call on the same result. */
VIGIL_API const char* vigil_coverage_json(vigil_result* result, const unsigned char* scenarios,
                                          size_t size);

/* The decision tables of `event` ("FRONT.VALID"), or of every event when
 * `event` is NULL or empty: the JSON `vigil paths --json` prints, with
 * "script" as the script's name; every path's conditions and effects, and the
 * dead code. {"errors": ...} as vigil_sim_json for an event the script has
 * no block for; NULL for a NULL result, a script with errors, or when memory
 * runs out. Valid until the next call on the same result. */
VIGIL_API const char* vigil_paths_json(vigil_result* result, const char* event);

/* The behaviour that changed from the script of `before` to that of
 * `result`: the text `vigil diff` prints ("no behaviour changed: ..." when
 * none did). NULL when either is NULL or has errors, or when memory runs out.
 * Valid until the next call with the same `result`. */
VIGIL_API const char* vigil_diff_text(vigil_result* before, vigil_result* result);

/* What an error or warning code ("E6", "6", "w1") means and how to fix it,
 * as `vigil explain` prints it; NULL for a code that does not exist. */
VIGIL_API const char* vigil_explanation(const char* code);

/* The language's keywords, upper case, separated by single blanks: what an
 * editor highlights. */
VIGIL_API const char* vigil_keywords(void);

/* The language's words by what they do, as one JSON object of upper-case
 * word lists: {"keywords", "declarations" (the words that start a
 * declaration line), "defines" (the kinds after DEFINE), "blocks" (EVENT,
 * EVENTEND, IF, ELSE, ENDIF), "commands", "conditions" (test words),
 * "properties" (what NAME.PROPERTY = sets), "elements", "events"}. NULL when
 * memory runs out. */
VIGIL_API const char* vigil_word_lists_json(void);

#ifdef __cplusplus
}
#endif

#endif /* VIGIL_VIGIL_H_ */
