#include "driver/vigil_commands.h"

namespace vigil {

// Placeholder until the command lands.
int RunDis(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  err << "vigil dis: not built yet\n";
  return 2;
}

}  // namespace vigil
