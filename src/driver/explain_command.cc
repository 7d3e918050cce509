#include "driver/vigil_commands.h"

namespace vigil {

// Placeholder until the command lands.
int RunExplain(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "vigil explain: not built yet\n";
  return 2;
}

}  // namespace vigil
