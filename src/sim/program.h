// The compiled script as the simulator runs it: the code buffer, where each
// event block starts, and what the trace needs to speak in the script's
// terms (lines, names, mark texts, parameter values, strike times).
#ifndef VIGIL_SIM_PROGRAM_H_
#define VIGIL_SIM_PROGRAM_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/compile/compilation.h"
#include "core/formats/download_reader.h"

namespace vigil::sim {

struct Program {
  struct Block {
    int module = 0;
    int event = 0;
    int start = 0;  // the first byte after the event header
  };
  struct ByteInfo {
    int line = 0;         // the physical line that wrote the byte; 0 when none
    int depth = 0;        // IF blocks open around the instruction starting here
    std::string meaning;  // the decoded instruction starting here, if any
  };

  std::vector<uint8_t> code;
  std::vector<Block> blocks;              // in code order
  std::vector<ByteInfo> bytes;            // one per code byte
  std::map<int, std::string> line_texts;  // physical line -> the line, trimmed
  SiteNames names;
  std::map<int, std::string> mark_texts;  // mark id -> archive text
  std::map<int, int> parameters;          // parameter id -> value
  std::map<int, int> strike_times;        // module id -> seconds a DOOR keeps it open
  // (module id, element code) -> the output's name as the script writes it
  // ("OC1", where RELAY7 has the same code).
  std::map<std::pair<int, int>, std::string> output_names;
};

Program MakeProgram(const Compilation& compilation);

// The module's name, or "module 7".
std::string ModuleName(const Program& program, int module);
// "FRONT.VALID", "PANEL.USEREVENT12".
std::string EventLabel(const Program& program, int module, int event);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_PROGRAM_H_
