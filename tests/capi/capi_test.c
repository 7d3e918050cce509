/* The C API as a C program meets it: each function's contract once (the four
 * files, the diagnostics, the simulator's entries, ownership and NULL). What
 * the texts hold in detail is the C++ tests' business. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vigil/vigil.h"

static int failures = 0;

#define CHECK(condition)                                                            \
  do {                                                                              \
    if (!(condition)) {                                                             \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                                   \
    }                                                                               \
  } while (0)

static const unsigned char* as_bytes(const char* text) { return (const unsigned char*)text; }

static vigil_result* compile_text(const char* text) {
  return vigil_compile(as_bytes(text), strlen(text));
}

/* Whether `text` is not NULL and holds `piece` (at its start when `at_start`). */
static int holds(const char* text, const char* piece, int at_start) {
  const char* found = text != NULL ? strstr(text, piece) : NULL;
  return found != NULL && (!at_start || found == text);
}

/* The whole file, or NULL; *size is its length. The files read here are far
 * smaller than the megabyte read. */
static unsigned char* read_file(const char* path, size_t* size) {
  FILE* file = fopen(path, "rb");
  unsigned char* bytes = file != NULL ? malloc(1 << 20) : NULL;
  if (bytes != NULL) *size = fread(bytes, 1, 1 << 20, file);
  if (file != NULL) fclose(file);
  return bytes;
}

/* Whether the `*got_size` bytes at `got` are those of the expected file `name`
 * (a pointer, so that the call that gives `got` may set the size first). */
static int same_bytes(const unsigned char* got, const size_t* got_size, const char* name) {
  char path[512];
  size_t size = 0;
  unsigned char* expected;
  int same;
  snprintf(path, sizeof path, "%s/examples/expected/%s", VIGIL_SOURCE_DIR, name);
  expected = read_file(path, &size);
  same = expected != NULL && size == *got_size && memcmp(expected, got, size) == 0;
  if (!same) fprintf(stderr, "differs from %s\n", path);
  free(expected);
  return same;
}

/* The example script gives the four files kept beside it, the listing with
 * the date those were made on; each buffer ends in a NUL it does not count. */
static void test_four_files(void) {
  size_t size = 0;
  unsigned char* script = read_file(VIGIL_SOURCE_DIR "/examples/office.txt", &size);
  vigil_result* result;
  const unsigned char* bytes;
  CHECK(script != NULL);
  result = vigil_compile(script, size);
  free(script); /* the result keeps its own copy */
  bytes = vigil_download_file(result, &size);
  CHECK(same_bytes(bytes, &size, "office.BIN") && bytes[size] == '\0');
  CHECK(same_bytes(vigil_error_file(result, &size), &size, "office.ERR"));
  CHECK(same_bytes(vigil_settings_table(result, &size), &size, "office.SET"));
  CHECK(same_bytes(vigil_listing(result, "2026-12-05 18:00:00", &size), &size, "office.LST"));
  CHECK(vigil_listing(result, "2026-12-05", &size) != NULL && size == 0);
  /* The shape is right, the date or the time is none. */
  {
    static const char* const kNoDates[] = {"2020-13-45 99:99:99", "2020-00-10 10:00:00",
                                           "2021-02-29 10:00:00", "1900-02-29 10:00:00",
                                           "2020-04-31 10:00:00", "2020-01-00 10:00:00",
                                           "2020-01-10 24:00:00", "2020-01-10 10:60:00",
                                           "2020-01-10 10:00:60"};
    for (size_t i = 0; i < sizeof kNoDates / sizeof kNoDates[0]; ++i) {
      CHECK(vigil_listing(result, kNoDates[i], &size) != NULL && size == 0);
    }
    /* Leap days of leap years, the last second of a year. */
    CHECK(vigil_listing(result, "2024-02-29 00:00:00", &size) != NULL && size > 0);
    CHECK(vigil_listing(result, "2000-02-29 12:30:45", &size) != NULL && size > 0);
    CHECK(vigil_listing(result, "1999-12-31 23:59:59", &size) != NULL && size > 0);
  }
  vigil_result_free(result);
}

/* The comment's lone LF ends a line of the file but not of the script: W6
 * on file line 5, then E6 on file line 7, counted line 4, as RELAY2 is no
 * element of the door's. A mark's bytes above 127 reach the settings table
 * unchanged. */
static const char kMistake[] =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "DEFINE MARK LATE = Caf\xe9\r\n"
    "; front\ndoor\r\n"
    "EVENT FRONT.VALID\r\n"
    "RELAY2 = ON\r\n"
    "MARK(LATE)\r\n"
    "EVENTEND\r\n";

static void test_diagnostics(void) {
  static const char kErr[] = "0000100004RELAY2 = ON%Unknown command\r\n";
  vigil_result* result = compile_text(kMistake);
  const size_t relay2 = (size_t)(strstr(kMistake, "RELAY2") - kMistake);
  size_t size = 0, begin = 0, end = 0;
  int line = 0;
  const unsigned char* err = vigil_error_file(result, &size);
  CHECK(size == strlen(kErr) && memcmp(err, kErr, size) == 0);
  CHECK(holds((const char*)vigil_settings_table(result, &size), "LATE=254,0,Caf\xe9\r\n", 0));
  CHECK(vigil_error_count(result) == 1 && vigil_diagnostic_count(result) == 2);
  CHECK(strcmp(vigil_diagnostic_code(result, 0), "W6") == 0 &&
        vigil_diagnostic_severity(result, 0) == VIGIL_WARNING);
  CHECK(strcmp(vigil_diagnostic_code(result, 1), "E6") == 0 &&
        vigil_diagnostic_severity(result, 1) == VIGIL_ERROR);
  CHECK(strcmp(vigil_diagnostic_message(result, 1), "Unknown command") == 0);
  CHECK(vigil_diagnostic_note_count(result, 1) == 1 &&
        holds(vigil_diagnostic_note(result, 1, 0), "its only relay is RELAY1", 0));
  CHECK(vigil_diagnostic_location(result, 1, &line, &begin, &end) == 1);
  CHECK(line == 7 && begin == relay2 && end > begin && end <= relay2 + strlen("RELAY2 = ON"));
  CHECK(holds(vigil_diagnostics_json(result), "\"line\": 7, \"column\": 1,", 0));
  /* Out of range: nothing, and the outputs untouched. */
  line = 99;
  CHECK(vigil_diagnostic_code(result, 2) == NULL);
  CHECK(vigil_diagnostic_location(result, 2, &line, &begin, &end) == 0 && line == 99);
  CHECK(vigil_diagnostic_note(result, 1, 1) == NULL);
  CHECK(vigil_diagnostic_severity(result, 2) == -1);
  vigil_result_free(result);
}

/* FRONT.VALID (file line 5) counts visits in office hours. */
static const char kSimScript[] =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "\r\n"
    "EVENT FRONT.VALID\r\n"
    "IF TIMEPLAN(1)\r\n"
    "VISITS = VISITS + 1\r\n"
    "ENDIF\r\n"
    "EVENTEND\r\n";

/* The code: FF 01 01 for the event, 51 07 00 00 03 00 for the IF, 61 00 01
 * for the addition, FF FF FF. The simulator runs it on a state, on none and
 * on a state naming nothing; a script with errors is not run. */
static void test_code_and_simulator(void) {
  static const char kState[] = "; office hours\r\n\r\nTIMEPLAN(1) = ON\r\n";
  static const char kBadState[] = "\nNOSUCH = ON";
  static const char kScenarios[] =
      "SCENARIO at night\r\nEVENT FRONT.VALID\r\nEXPECT VISITS = 1\r\n";
  static const char kTypo[] = "SCENARIO typo\r\nEVENT FRONT.VALID\r\nEXPECT NOSUCH = ON\r\n";
  vigil_result* result = compile_text(kSimScript);
  vigil_result* broken = compile_text("EVENT FRONT.VALID\r\n");
  const char* json = vigil_events_json(result);
  CHECK(vigil_line_count(result) == 8 && vigil_code_size(result) == 15);
  CHECK(holds(vigil_code_json(result), "[\n  {\"line\": 5, \"offset\": 0, ", 1));
  CHECK(holds(vigil_code_json(result), "{\"line\": 7, \"offset\": 9, ", 0));
  CHECK(strcmp(json,
               "[\n  {\"name\": \"FRONT.VALID\", \"module\": 1, \"event\": 1, "
               "\"line\": 5, \"blocks\": 1}\n]\n") == 0);
  CHECK(vigil_events_json(result) == json); /* made once */
  json = vigil_sim_json(result, "FRONT.VALID", as_bytes(kState), strlen(kState));
  CHECK(holds(json, "{\"script\": \"script\", \"event\": \"FRONT.VALID\", ", 1));
  CHECK(holds(json, "\"result\": \"result: VISITS 0 -> 1\"", 0));
  json = vigil_sim_json(result, "FRONT.VALID", NULL, 0);
  CHECK(holds(json, "\"result\": \"result: nothing changed\"", 0));
  json = vigil_sim_json(result, "FRONT.VALID", as_bytes(kBadState), strlen(kBadState));
  CHECK(holds(json, "{\"errors\": [\n  {\"line\": 2, ", 1));
  json = vigil_scenarios_json(result, as_bytes(kScenarios), strlen(kScenarios));
  CHECK(holds(json, "{\"passed\": 0, \"failed\": 1, ", 1));
  /* At night the IF (line 6) fails and the addition (line 7) does not run;
   * with an error in the file nothing runs. */
  CHECK(strcmp(vigil_coverage_json(result, as_bytes(kScenarios), strlen(kScenarios)),
               "{\"summary\": \"1 of 2 (50%) lines, 1 of 2 (50%) IF branches\", \"lines\": "
               "[{\"line\": 6, \"runs\": 1}, {\"line\": 7, \"runs\": 0}], \"branches\": "
               "[{\"line\": 6, \"held\": 0, \"failed\": 1}]}\n") == 0);
  CHECK(holds(vigil_coverage_json(result, as_bytes(kTypo), strlen(kTypo)),
              "{\"summary\": \"0 of 2 (0%) lines, 0 of 2 (0%) IF branches\"", 1));
  CHECK(holds(vigil_coverage_json(broken, NULL, 0), "{\"summary\": \"\", \"lines\": []", 1));
  CHECK(vigil_coverage_json(NULL, NULL, 0) == NULL);
  json = vigil_scenarios_json(result, as_bytes(kTypo), strlen(kTypo));
  CHECK(holds(json, "\"errors\": [\n  {\"line\": 3, \"column\": 8, ", 0));
  CHECK(holds(json, "\"scenarios\": []}\n", 0));
  CHECK(strcmp(vigil_events_json(broken), "[]\n") == 0);
  CHECK(holds(vigil_sim_json(broken, "FRONT.VALID", NULL, 0), "the script has errors", 0));
  CHECK(vigil_sim_json(result, NULL, NULL, 0) == NULL);
  /* FRONT.VALID's table: the time plan on adds one to VISITS, off nothing. */
  json = vigil_paths_json(result, "FRONT.VALID");
  CHECK(holds(json, "{\"when\": \"TIMEPLAN(1)\", ", 0));
  CHECK(holds(json, "\"does\": \"VISITS = VISITS + 1\"", 0));
  CHECK(holds(json, "{\"when\": \"not TIMEPLAN(1)\", ", 0));
  CHECK(holds(vigil_paths_json(result, NULL), "\"event\": \"FRONT.VALID\"", 0));
  CHECK(holds(vigil_paths_json(result, "FRONT.INVALID"), "{\"errors\": ", 1));
  CHECK(vigil_paths_json(broken, NULL) == NULL && vigil_paths_json(NULL, NULL) == NULL);
  CHECK(holds(vigil_diff_text(result, result), "no behaviour changed", 1));
  CHECK(vigil_diff_text(broken, result) == NULL && vigil_diff_text(result, NULL) == NULL);
  vigil_result_free(broken);
  vigil_result_free(result);
}

static void test_null_and_static_texts(void) {
  vigil_result* empty = vigil_compile(NULL, 0);
  size_t size = 99;
  CHECK(empty != NULL && vigil_error_count(empty) == 0);
  vigil_result_free(empty);
  vigil_result_free(NULL);
  CHECK(vigil_download_file(NULL, &size) != NULL && size == 0);
  CHECK(vigil_diagnostic_count(NULL) == 0 && strcmp(vigil_events_json(NULL), "[]\n") == 0);
  CHECK(vigil_sim_json(NULL, "FRONT.VALID", NULL, 0) == NULL);
  CHECK(vigil_scenarios_json(NULL, NULL, 0) == NULL);
  CHECK(strcmp(vigil_version(), VIGIL_EXPECTED_VERSION) == 0);
  CHECK(holds(vigil_explanation("e6"), "Unknown command", 0));
  CHECK(vigil_explanation("E6") == vigil_explanation("6"));
  CHECK(vigil_explanation("E99") == NULL && vigil_explanation(NULL) == NULL);
  /* Whole words between single blanks. */
  CHECK(holds(vigil_keywords(), "EVENTEND ", 1) && holds(vigil_keywords(), " EVENT ", 0));
  CHECK(!holds(vigil_keywords(), "  ", 0));
  /* The word lists by kind, each list in its table's order. */
  CHECK(holds(vigil_word_lists_json(), "{\"keywords\": [\"EVENTEND\", \"EVENT\", ", 1));
  CHECK(holds(vigil_word_lists_json(),
              "\"declarations\": [\"MODULE\", \"PARTITION\", \"DEVICE\", \"DEFINE\"], "
              "\"defines\": [\"PARAMETER\", \"MARK\", \"REGISTER\", \"TIMER\"], "
              "\"blocks\": [\"EVENT\", \"EVENTEND\", \"IF\", \"ELSE\", \"ENDIF\"], "
              "\"commands\": [\"INVERT\", \"DELAY\", ",
              0));
  CHECK(holds(vigil_word_lists_json(), "\"properties\": [\"ARMED\", \"SYSTEMKEY\", ", 0));
  CHECK(holds(vigil_word_lists_json(), "\"events\": [\"INIT\", \"TAMPER\", ", 0));
}

int main(void) {
  test_four_files();
  test_diagnostics();
  test_code_and_simulator();
  test_null_and_static_texts();
  if (failures > 0) fprintf(stderr, "%d checks failed\n", failures);
  return failures == 0 ? 0 : 1;
}
