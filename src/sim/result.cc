#include "sim/result.h"

#include <algorithm>
#include <set>

#include "core/check/diagnostic_printers.h"
#include "sim/labels.h"

namespace vigil::sim {

std::vector<Change> StateChanges(const Program& program, const State& before, const State& after) {
  std::vector<Change> items;
  std::set<PointKey> keys;
  for (const auto& [key, on] : before.points) keys.insert(key);
  for (const auto& [key, on] : after.points) keys.insert(key);
  for (const PointKey& key : keys) {
    if (before.Point(key) != after.Point(key)) {
      items.push_back(
          {PointLabel(program, key), OnOff(before.Point(key)), OnOff(after.Point(key))});
    }
  }
  auto values = [&](std::string_view what, const std::array<int, 256>& x,
                    const std::array<int, 256>& y, const std::map<int, std::string>& names) {
    for (size_t i = 0; i < x.size(); ++i) {
      if (x[i] != y[i]) {
        items.push_back(
            {IdName(what, static_cast<int>(i), names), std::to_string(x[i]), std::to_string(y[i])});
      }
    }
  };
  values("register", before.registers, after.registers, program.names.registers);
  values("timer", before.timers, after.timers, program.names.timers);
  if (before.byte1 != after.byte1) {
    items.push_back({"BYTE1", std::to_string(before.byte1), std::to_string(after.byte1)});
  }
  if (before.byte2 != after.byte2) {
    items.push_back({"BYTE2", std::to_string(before.byte2), std::to_string(after.byte2)});
  }
  return items;
}

std::string JsonValue(const std::string& value) {
  if (value == "ON" || value == "OFF") return value == "ON" ? "true" : "false";
  bool number =
      !value.empty() && value.size() < 10 &&
      std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
  return number ? std::to_string(std::stol(value)) : JsonString(value);
}

std::string ResultLine(const Program& program, const State& before, const State& after,
                       const std::vector<Happening>& happenings) {
  std::vector<std::string> items;
  for (const Change& change : StateChanges(program, before, after)) {
    items.push_back(ChangeText(change));
  }
  size_t marks = 0;
  size_t calls = 0;
  std::string doors;
  for (const Happening& happening : happenings) {
    switch (happening.kind) {
      case Happening::Kind::kMark:
        ++marks;
        break;
      case Happening::Kind::kDial:
        ++calls;
        break;
      case Happening::Kind::kDoor:
        doors += (doors.empty() ? "" : ", ") + ModuleName(program, happening.a);
        break;
    }
  }
  if (!doors.empty()) items.push_back("door opened: " + doors);
  if (marks > 0) items.push_back("archive +" + std::to_string(marks));
  if (calls > 0) items.push_back(Plural(calls, "call"));
  std::string text = "result: ";
  if (items.empty()) return text + "nothing changed\n";
  for (size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : "; ") + items[i];
  return text + "\n";
}

}  // namespace vigil::sim
