// The records a script declares: modules and partitions, parameters, archive
// marks, registers and timers. Numeric properties are 16-bit signed.
#ifndef VIGIL_CORE_COMPILE_RECORDS_H_
#define VIGIL_CORE_COMPILE_RECORDS_H_

#include <cstdint>
#include <string>

namespace vigil {

// A declared module or partition. Its id is also its kind (see ModuleKindOf).
struct C_Module {
  int16_t id = 0;
  std::string name;
  int16_t StrikeTime = 0;
  int16_t AjarDoor = 0;
  int16_t CardTimeout = 0;
  int16_t SaveEvents = 0;
  int16_t SaveUserEvents = 0;
  int16_t typ = 0;
  int16_t parent = 0;
  int16_t ezsid = 0;
  int16_t partition = 0;
};

struct C_parameter {
  int16_t id = 0;
  std::string name;
  int16_t value = 0;
};

struct C_mark {
  int16_t id = 0;
  std::string name;
  std::string text;
};

// A register or a timer.
struct C_registry {
  int16_t id = 0;
  std::string name;
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_RECORDS_H_
