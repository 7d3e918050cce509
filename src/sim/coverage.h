// What scenarios ran of a script's code: how often each instruction ran, and
// how often each IF went each way. The machine counts into it when given one.
#ifndef VIGIL_SIM_COVERAGE_H_
#define VIGIL_SIM_COVERAGE_H_

#include <array>
#include <map>

namespace vigil::sim {

struct Coverage {
  std::map<int, long> runs;                   // code offset -> times run
  std::map<int, std::array<long, 2>> branch;  // IF offset -> {times true, times false}
};

}  // namespace vigil::sim

#endif  // VIGIL_SIM_COVERAGE_H_
