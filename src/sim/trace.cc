#include "sim/trace.h"

#include <algorithm>
#include <string_view>

#include "core/check/diagnostic_printers.h"
#include "sim/result.h"

namespace vigil::sim {
namespace {

// The source column is as wide as the widest source line shown, from 26 up to
// 60 characters; a longer line is cut with "...".
constexpr size_t kMinSourceWidth = 26;
constexpr size_t kMaxSourceWidth = 60;
constexpr std::string_view kDoorPart = "(part of DOOR)";

std::string_view KindName(TraceEntry::Kind kind) {
  switch (kind) {
    case TraceEntry::Kind::kEventStart:
      return "event";
    case TraceEntry::Kind::kStep:
      return "step";
    case TraceEntry::Kind::kResume:
      return "resume";
    case TraceEntry::Kind::kCannotRun:
      return "cannot_run";
    case TraceEntry::Kind::kCut:
      return "cut";
  }
  return "step";
}

std::string TimePrefix(int time) {
  return time > 0 ? "at " + std::to_string(time) + " s: " : std::string();
}

// The source column of a step: the line indented by its IF depth; a line's
// later instructions show what the controller runs ("(part of DOOR)").
std::string SourceText(const TraceEntry& entry) {
  std::string shown = entry.source;
  if (shown.empty() && !entry.instruction.empty()) {
    shown = entry.instruction.ends_with(kDoorPart) ? std::string(kDoorPart)
                                                   : "(" + entry.instruction + ")";
  }
  if (shown.empty()) return "";
  std::string source = std::string(static_cast<size_t>(entry.depth) * 2, ' ') + shown;
  if (source.size() > kMaxSourceWidth) source = source.substr(0, kMaxSourceWidth - 3) + "...";
  return source;
}

std::string StepLine(const TraceEntry& entry, size_t width) {
  std::string number = entry.line > 0 ? std::to_string(entry.line) : "";
  std::string text = "  " + std::string(number.size() < 4 ? 4 - number.size() : 0, ' ') + number;
  std::string source = SourceText(entry);
  text += "  " + source;
  if (!entry.effect.empty()) {
    text += std::string(width + 2 - source.size(), ' ') + entry.effect;
  }
  return text + "\n";
}

}  // namespace

std::string ChangeText(const Change& change) {
  if (change.before == change.after) return change.what + " stays " + change.after;
  return change.what + " " + change.before + " -> " + change.after;
}

std::string FormatTraceText(const std::vector<TraceEntry>& entries) {
  size_t width = kMinSourceWidth;
  for (const TraceEntry& entry : entries) {
    if (entry.kind != TraceEntry::Kind::kEventStart && entry.kind != TraceEntry::Kind::kResume) {
      width = std::max(width, SourceText(entry).size());
    }
  }
  std::string text;
  for (const TraceEntry& entry : entries) {
    switch (entry.kind) {
      case TraceEntry::Kind::kEventStart:
        text += TimePrefix(entry.time) + entry.instruction + " " + entry.effect + "\n";
        break;
      case TraceEntry::Kind::kStep:
        text += StepLine(entry, width);
        break;
      case TraceEntry::Kind::kResume:
        text += TimePrefix(entry.time) + entry.instruction + " " + entry.effect + "\n";
        break;
      case TraceEntry::Kind::kCannotRun:
      case TraceEntry::Kind::kCut:
        text += StepLine(entry, width);
        break;
    }
  }
  return text;
}

std::string ChangesJson(const std::vector<Change>& changes) {
  std::string json = "[";
  for (size_t c = 0; c < changes.size(); ++c) {
    const Change& change = changes[c];
    json += c == 0 ? "" : ", ";
    json += "{\"what\": " + JsonString(change.what) + ", \"before\": " + JsonValue(change.before) +
            ", \"after\": " + JsonValue(change.after) + "}";
  }
  return json + "]";
}

std::string FormatTraceJson(const std::vector<TraceEntry>& entries) {
  std::string json = "[";
  for (size_t i = 0; i < entries.size(); ++i) {
    const TraceEntry& entry = entries[i];
    json += i == 0 ? "\n  {" : ",\n  {";
    json += "\"kind\": " + JsonString(KindName(entry.kind));
    json += ", \"time\": " + std::to_string(entry.time);
    json += ", \"line\": " + std::to_string(entry.line);
    json += ", \"offset\": " + std::to_string(entry.offset);
    json += ", \"depth\": " + std::to_string(entry.depth);
    json += ", \"source\": " + JsonString(entry.source);
    json += ", \"instruction\": " + JsonString(entry.instruction);
    json += ", \"effect\": " + JsonString(entry.effect);
    if (entry.taken) json += std::string(", \"taken\": ") + (*entry.taken ? "true" : "false");
    json += ", \"changes\": " + ChangesJson(entry.changes) + "}";
  }
  json += entries.empty() ? "]" : "\n]";
  return json;
}

}  // namespace vigil::sim
