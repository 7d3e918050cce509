// Text from a file made safe to show on a terminal: control bytes, DEL and
// bytes that are no UTF-8 become "\xnn", so nothing in a scenario line can
// move the cursor or change the colours.
#ifndef VIGIL_SIM_SHOWN_TEXT_H_
#define VIGIL_SIM_SHOWN_TEXT_H_

#include <string>
#include <string_view>

namespace vigil::sim {

// `text` with every unsafe byte as "\xnn" (tabs kept).
std::string ShownText(std::string_view text);

// The columns (1-based) byte column `column` of `text` takes up once shown.
int ShownColumn(std::string_view text, int column);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_SHOWN_TEXT_H_
