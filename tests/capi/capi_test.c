/* The C API as a C program meets it: compiles scripts through vigil.h and
 * checks the four files, the diagnostics, the simulator and the ownership
 * rules. */
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

/* Whether `text` is not NULL and starts with `prefix`. */
static int starts_with(const char* text, const char* prefix) {
  return text != NULL && strncmp(text, prefix, strlen(prefix)) == 0;
}

/* Whether `text` is not NULL and holds `piece`. */
static int holds(const char* text, const char* piece) {
  return text != NULL && strstr(text, piece) != NULL;
}

/* The whole file, or NULL; *size is its length. */
static unsigned char* read_file(const char* path, size_t* size) {
  FILE* file = fopen(path, "rb");
  unsigned char* bytes = NULL;
  long length;
  if (file == NULL) return NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (length = ftell(file)) >= 0 &&
      fseek(file, 0, SEEK_SET) == 0) {
    bytes = malloc((size_t)length + 1);
    if (bytes != NULL && fread(bytes, 1, (size_t)length, file) != (size_t)length) {
      free(bytes);
      bytes = NULL;
    }
    *size = (size_t)length;
  }
  fclose(file);
  return bytes;
}

static int same_bytes(const unsigned char* got, size_t got_size, const char* expected_path) {
  size_t size = 0;
  unsigned char* expected = read_file(expected_path, &size);
  int same = expected != NULL && size == got_size && memcmp(expected, got, size) == 0;
  if (!same) fprintf(stderr, "differs from %s\n", expected_path);
  free(expected);
  return same;
}

/* The example script gives the files kept beside it, the listing with the
 * date those were made on. */
static void test_example_files(void) {
  size_t size = 0;
  unsigned char* script = read_file(VIGIL_SOURCE_DIR "/examples/office.txt", &size);
  vigil_result* result;
  const unsigned char* bytes;
  CHECK(script != NULL);
  if (script == NULL) return;
  result = vigil_compile(script, size);
  free(script); /* the result keeps its own copy */
  CHECK(result != NULL);
  bytes = vigil_download_file(result, &size);
  CHECK(same_bytes(bytes, size, VIGIL_SOURCE_DIR "/examples/expected/office.BIN"));
  CHECK(bytes[size] == '\0');
  bytes = vigil_listing(result, "2026-12-05 18:00:00", &size);
  CHECK(same_bytes(bytes, size, VIGIL_SOURCE_DIR "/examples/expected/office.LST"));
  bytes = vigil_error_file(result, &size);
  CHECK(same_bytes(bytes, size, VIGIL_SOURCE_DIR "/examples/expected/office.ERR"));
  bytes = vigil_settings_table(result, &size);
  CHECK(same_bytes(bytes, size, VIGIL_SOURCE_DIR "/examples/expected/office.SET"));
  CHECK(vigil_error_count(result) == 0);
  vigil_result_free(result);
}

/* The installer's reference: on editor line 6, counted line 4, an element
 * the door has no assignment for reports error 6. */
static const char kMistake[] =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "; front door\r\n"
    "EVENT FRONT.VALID\r\n"
    "RELAY2 = ON\r\n"
    "EVENTEND\r\n";

static void test_error_in_files_and_diagnostics(void) {
  vigil_result* result = vigil_compile(as_bytes(kMistake), strlen(kMistake));
  const char* expected_err = "0000100004RELAY2 = ON%Unknown command\r\n";
  const size_t relay2 = (size_t)(strstr(kMistake, "RELAY2") - kMistake);
  size_t size = 0, i, found = 0, begin = 0, end = 0;
  int line = 0;
  const unsigned char* err = vigil_error_file(result, &size);
  CHECK(size == strlen(expected_err) && memcmp(err, expected_err, size) == 0);
  CHECK(vigil_error_count(result) == 1);
  for (i = 0; i < vigil_diagnostic_count(result); ++i) {
    if (strcmp(vigil_diagnostic_code(result, i), "E6") != 0) continue;
    ++found;
    CHECK(vigil_diagnostic_severity(result, i) == VIGIL_ERROR);
    CHECK(strcmp(vigil_diagnostic_message(result, i), "Unknown command") == 0);
    CHECK(vigil_diagnostic_location(result, i, &line, &begin, &end) == 1);
    CHECK(line == 6);
    CHECK(begin == relay2);
    CHECK(end > begin && end <= relay2 + strlen("RELAY2 = ON"));
  }
  CHECK(found == 1);
  CHECK(strstr(vigil_diagnostics_json(result), "\"code\": \"E6\"") != NULL);
  CHECK(strstr(vigil_diagnostics_json(result), "\"line\": 6, \"column\": 1,") != NULL);
  /* Out of range: nothing, and the outputs untouched. */
  line = 99;
  CHECK(vigil_diagnostic_code(result, 1000) == NULL);
  CHECK(vigil_diagnostic_location(result, 1000, &line, &begin, &end) == 0 && line == 99);
  CHECK(vigil_diagnostic_note(result, 1000, 0) == NULL);
  CHECK(vigil_diagnostic_severity(result, 1000) == -1);
  vigil_result_free(result);
}

/* A lone LF stays inside its script line but starts a line of the file:
 * the location counts it, and the offsets still point into the script. */
static void test_location_after_lone_lf(void) {
  static const char kScript[] =
      "MODULE = CTRL,0\r\n"
      "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
      "EVENT FRONT.VALID\r\n"
      "DELAY(5)\nRELAY2 = ON\r\n"
      "EVENTEND\r\n";
  vigil_result* result = vigil_compile(as_bytes(kScript), strlen(kScript));
  const size_t relay2 = (size_t)(strstr(kScript, "RELAY2") - kScript);
  size_t begin = 0, end = 0;
  int line = 0;
  CHECK(vigil_error_count(result) == 1);
  /* The error, then the warning that the LF joined the two lines. */
  CHECK(vigil_diagnostic_count(result) == 2);
  CHECK(strcmp(vigil_diagnostic_code(result, 1), "W6") == 0);
  CHECK(vigil_diagnostic_location(result, 0, &line, &begin, &end) == 1);
  CHECK(line == 5);
  CHECK(begin == relay2);
  CHECK(end > begin && end <= relay2 + strlen("RELAY2 = ON"));
  vigil_result_free(result);
}

/* Bytes above 127 reach the settings table as they are, and a mark's text
 * is no name, so it is not checked. */
static void test_bytes_pass_through(void) {
  static const char kScript[] =
      "MODULE = CTRL,0\r\n"
      "DEFINE MARK DOOR = Caf\xe9 \xff\r\n";
  vigil_result* result = vigil_compile(as_bytes(kScript), strlen(kScript));
  size_t size = 0;
  const unsigned char* set = vigil_settings_table(result, &size);
  const char* line = "DOOR=254,0,Caf\xe9 \xff\r\n";
  CHECK(strstr((const char*)set, line) != NULL);
  vigil_result_free(result);
}

/* The code of a line is reported with that line. */
static void test_code_beside_lines(void) {
  static const char kScript[] =
      "MODULE = CTRL,0\r\n"
      "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
      "EVENT FRONT.VALID\r\n"
      "  DELAY(5)\r\n"
      "EVENTEND\r\n";
  vigil_result* result = vigil_compile(as_bytes(kScript), strlen(kScript));
  const char* json = vigil_code_json(result);
  CHECK(vigil_error_count(result) == 0);
  CHECK(strstr(json, "{\"line\": 3, \"offset\": 0, ") != NULL);
  CHECK(strstr(json, "{\"line\": 4, ") != NULL);
  vigil_result_free(result);
}

/* A front door that counts the visits in office hours (time plan 1) and
 * logs the others; BACK has no block. */
static const char kSimScript[] =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "MODULE = BACK,2,0,2,1,60,15,2\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "DEFINE MARK LATE = Card out of hours\r\n"
    "EVENT FRONT.VALID\r\n"
    "  IF TIMEPLAN(1)\r\n"
    "    VISITS = VISITS + 1\r\n"
    "  ELSE\r\n"
    "    MARK(LATE)\r\n"
    "  ENDIF\r\n"
    "EVENTEND\r\n"
    "EVENT FRONT.INVALID\r\n"
    "  MARK(LATE)\r\n"
    "EVENTEND\r\n"
    "EVENT FRONT.VALID\r\n"
    "  FRONT.RELAY1 = ON\r\n"
    "EVENTEND\r\n";

/* Each event once, in the order of its first block, with the blocks it
 * fires. */
static void test_events(void) {
  static const char kValid[] = "{\"name\": \"FRONT.VALID\", \"module\": 1, ";
  static const char kInvalid[] = "{\"name\": \"FRONT.INVALID\", \"module\": 1, ";
  vigil_result* result = vigil_compile(as_bytes(kSimScript), strlen(kSimScript));
  const char* json = vigil_events_json(result);
  const char* valid = strstr(json, kValid);
  const char* invalid = strstr(json, kInvalid);
  CHECK(vigil_error_count(result) == 0);
  CHECK(valid != NULL && invalid != NULL && valid < invalid);
  CHECK(valid != NULL &&
        starts_with(valid + strlen(kValid), "\"event\": 1, \"line\": 6, \"blocks\": 2}"));
  CHECK(holds(invalid, "\"line\": 13, \"blocks\": 1}"));
  CHECK(!holds(json, "BACK"));
  CHECK(vigil_events_json(result) == json); /* made once */
  CHECK(strcmp(vigil_events_json(NULL), "[]\n") == 0);
  vigil_result_free(result);
}

/* The state decides the branch; both blocks of the event run. */
static void test_sim_run(void) {
  static const char kInHours[] = "; office hours\r\n\r\nTIMEPLAN(1) = ON\r\n";
  vigil_result* result = vigil_compile(as_bytes(kSimScript), strlen(kSimScript));
  const char* json = vigil_sim_json(result, "FRONT.VALID", as_bytes(kInHours), strlen(kInHours));
  CHECK(starts_with(json, "{\"script\": \"script\", \"event\": \"FRONT.VALID\", "));
  CHECK(holds(json, "\"result\": \"result: FRONT.RELAY1 OFF -> ON; VISITS 0 -> 1\""));
  CHECK(holds(json, "\"taken\": true"));
  CHECK(holds(json, "{\"what\": \"VISITS\", \"before\": \"0\", \"after\": \"1\"}"));
  /* No state: out of hours, the mark and no visit. */
  json = vigil_sim_json(result, "FRONT.VALID", NULL, 0);
  CHECK(holds(json, "\"result\": \"result: FRONT.RELAY1 OFF -> ON; archive +1\""));
  CHECK(holds(json, "\"taken\": false"));
  /* An event without blocks does nothing. */
  json = vigil_sim_json(result, "BACK.VALID", NULL, 0);
  CHECK(holds(json, "\"result\": \"result: nothing changed\""));
  CHECK(vigil_sim_json(NULL, "FRONT.VALID", NULL, 0) == NULL);
  CHECK(vigil_sim_json(result, NULL, NULL, 0) == NULL);
  vigil_result_free(result);
}

/* Errors name the state's line (0 for the event) and the line as read. */
static void test_sim_errors(void) {
  static const char kState[] = "TIMEPLAN(1) = ON\nNOSUCH = ON\n";
  static const char kBroken[] = "EVENT FRONT.VALID\r\n";
  vigil_result* result = vigil_compile(as_bytes(kSimScript), strlen(kSimScript));
  vigil_result* broken = vigil_compile(as_bytes(kBroken), strlen(kBroken));
  const char* json = vigil_sim_json(result, "FRONT.VALID", as_bytes(kState), strlen(kState));
  CHECK(starts_with(json, "{\"errors\": [\n  {\"line\": 2, "));
  CHECK(holds(json, "\"text\": \"SET NOSUCH = ON\"}"));
  CHECK(!holds(json, "\"line\": 1,"));
  json = vigil_sim_json(result, "FRONT.NOSUCH", NULL, 0);
  CHECK(starts_with(json, "{\"errors\": [\n  {\"line\": 0, "));
  CHECK(holds(json, "\"text\": \"EVENT FRONT.NOSUCH\"}"));
  CHECK(vigil_error_count(broken) > 0);
  CHECK(strcmp(vigil_events_json(broken), "[]\n") == 0);
  CHECK(holds(vigil_sim_json(broken, "FRONT.VALID", NULL, 0), "the script has errors"));
  vigil_result_free(broken);
  vigil_result_free(result);
}

/* One scenario passes, one fails with its line and trace; a file with an
 * error is not run. */
static void test_scenarios(void) {
  static const char kScenarios[] =
      "SCENARIO visit in hours\r\n"
      "SET TIMEPLAN(1) = ON\r\n"
      "EVENT FRONT.VALID\r\n"
      "EXPECT VISITS = 1\r\n"
      "EXPECT NOT MARK(LATE)\r\n"
      "SCENARIO visit at night counts too\r\n"
      "EVENT FRONT.VALID\r\n"
      "EXPECT VISITS = 1\r\n";
  static const char kBad[] = "SCENARIO typo\nEVENT FRONT.VALID\nEXPECT NOSUCH = ON\n";
  vigil_result* result = vigil_compile(as_bytes(kSimScript), strlen(kSimScript));
  const char* json = vigil_scenarios_json(result, as_bytes(kScenarios), strlen(kScenarios));
  CHECK(starts_with(json,
                    "{\"passed\": 1, \"failed\": 1, \"summary\": \"1 passed, 1 failed\",\n"
                    "\"errors\": [],"));
  CHECK(holds(json,
              "{\"name\": \"visit in hours\", \"line\": 1, \"passed\": true, "
              "\"failures\": [], "));
  CHECK(holds(json,
              "{\"name\": \"visit at night counts too\", \"line\": 6, \"passed\": false, "
              "\"failures\": [{\"line\": 8, "));
  json = vigil_scenarios_json(result, as_bytes(kBad), strlen(kBad));
  CHECK(starts_with(json, "{\"passed\": 0, \"failed\": 0, "));
  CHECK(holds(json, "\"errors\": [\n  {\"line\": 3, \"column\": 8, "));
  CHECK(holds(json, "\"scenarios\": []}\n"));
  CHECK(vigil_scenarios_json(NULL, NULL, 0) == NULL);
  vigil_result_free(result);
}

static void test_edges(void) {
  vigil_result* empty = vigil_compile(NULL, 0);
  size_t size = 99;
  CHECK(empty != NULL);
  CHECK(vigil_error_count(empty) == 0);
  /* A date of any other shape gives no listing. */
  CHECK(vigil_listing(empty, "2026-12-05", &size) != NULL && size == 0);
  CHECK(vigil_listing(empty, NULL, &size) != NULL && size == 0);
  vigil_result_free(empty);
  vigil_result_free(NULL);
  CHECK(vigil_download_file(NULL, &size) != NULL && size == 0);
  CHECK(vigil_diagnostic_count(NULL) == 0);
  CHECK(strcmp(vigil_version(), VIGIL_EXPECTED_VERSION) == 0);
  CHECK(vigil_explanation("e6") != NULL);
  CHECK(strstr(vigil_explanation("e6"), "Unknown command") != NULL);
  CHECK(vigil_explanation("E6") == vigil_explanation("6"));
  CHECK(vigil_explanation("W1") != NULL);
  CHECK(vigil_explanation("E99") == NULL);
  CHECK(vigil_explanation(NULL) == NULL);
  /* Whole words between single blanks. */
  CHECK(strncmp(vigil_keywords(), "EVENTEND ", 9) == 0);
  CHECK(strstr(vigil_keywords(), " EVENT ") != NULL);
  CHECK(strstr(vigil_keywords(), " OFFLINE") != NULL);
  CHECK(strstr(vigil_keywords(), "  ") == NULL);
}

int main(void) {
  test_example_files();
  test_error_in_files_and_diagnostics();
  test_location_after_lone_lf();
  test_bytes_pass_through();
  test_code_beside_lines();
  test_events();
  test_sim_run();
  test_sim_errors();
  test_scenarios();
  test_edges();
  if (failures > 0) fprintf(stderr, "%d checks failed\n", failures);
  return failures == 0 ? 0 : 1;
}
