#include "lsp/hover.h"

#include <optional>
#include <string>
#include <vector>

#include "core/check/diagnostic_printers.h"
#include "core/check/explain_table.h"
#include "core/check/warnings.h"
#include "core/decode/disassembler.h"
#include "core/decode/script_code.h"
#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/scan/tokenizer.h"
#include "lsp/event_block.h"
#include "lsp/navigation.h"
#include "lsp/reference.h"
#include "lsp/words.h"

namespace vigil::lsp {
namespace {

std::string Hex(int value) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

std::string Fenced(std::string_view text) { return "```\n" + std::string(text) + "```"; }

bool Covers(const Diagnostic& diagnostic, int line, int column) {
  if (diagnostic.physical_line != line + 1) return false;
  if (!diagnostic.span.known()) return true;
  return column >= diagnostic.span.begin && column <= diagnostic.span.end;
}

void AddExplanations(const Document& document, int line, int column,
                     std::vector<std::string>& sections) {
  const Compilation& compilation = document.compilation();
  auto add = [&](const Diagnostic& diagnostic) {
    if (!Covers(diagnostic, line, column)) return;
    std::string code = DiagnosticCode(diagnostic);
    const Explanation* explanation = FindExplanation(code);
    std::string heading = "**" + code + "** " + DiagnosticMessage(diagnostic);
    sections.push_back(explanation == nullptr
                           ? heading
                           : heading + "\n\n" + Fenced(FormatExplanation(*explanation)));
  };
  for (const Diagnostic& error : compilation.Diagnostics()) add(error);
  for (const Diagnostic& warning : Warnings(compilation)) add(warning);
}

std::string DeclarationText(const Compilation& compilation, const Symbol& symbol) {
  std::string text = std::string(SymbolKindName(symbol.kind)) + " **" + symbol.name + "**";
  const SymbolTable& symbols = compilation.symbols;
  switch (symbol.kind) {
    case SymbolKind::kModule:
    case SymbolKind::kPartition:
      text += ": " + KindDescription(symbol.id);
      break;
    case SymbolKind::kParameter: {
      const C_parameter* parameter = symbols.parameters.Find(symbol.name);
      text += " (number " + std::to_string(symbol.id) + ")";
      if (parameter != nullptr) text += " = " + std::to_string(parameter->value);
      break;
    }
    case SymbolKind::kMark: {
      const C_mark* mark = symbols.marks.Find(symbol.name);
      text += " (number " + std::to_string(symbol.id) + ")";
      if (mark != nullptr) text += ": \"" + mark->text + "\"";
      break;
    }
    case SymbolKind::kRegister:
    case SymbolKind::kTimer:
      text += " (number " + std::to_string(symbol.id) + ")";
      break;
  }
  const SourceLine* declared = compilation.Line(symbol.declaration.line);
  if (declared != nullptr) {
    text += "\n\ndeclared on line " + std::to_string(symbol.declaration.line) + ":\n\n" +
            Fenced(std::string(declared->text) + "\n");
  }
  return text;
}

// "element RELAY1 of FRONT: code 01" for an element of `module`.
std::optional<std::string> ElementOfModuleText(const C_Module* module, std::string_view element) {
  if (module == nullptr || !IsElementOfKind(module->id, element)) return std::nullopt;
  std::string text = "element **" + std::string(element) + "** of " + module->name + " (" +
                     KindDescription(module->id) + ")";
  if (std::optional<int> code = EventCode(element)) text += ": code " + Hex(*code);
  // A partition state tested in an IF has a code of its own.
  std::optional<int> state = PartitionEventCode(element);
  if (ModuleKindOf(module->id) == ModuleKind::kPartition && state &&
      IsPartitionStateName(element)) {
    text += "; as a state tested by IF: code " + Hex(*state);
  }
  return text;
}

// The element text for a word naming an element or event; a word without a
// module part names one of the module of the event block around `line`.
std::optional<std::string> ElementText(const Document& document, int line, std::string_view word) {
  const Compilation& compilation = document.compilation();
  std::string upper = ToUpper(word);
  if (upper.find('.') == std::string::npos) {
    return ElementOfModuleText(EventModuleAt(compilation, line), upper);
  }
  return ElementOfModuleText(compilation.symbols.modules.Find(ModulePart(upper)),
                             ElementPart(upper));
}

// What a command or condition word means, from the installer's reference.
std::optional<std::string> ReferenceText(std::string_view word) {
  std::string upper = ToUpper(word);
  ReferenceEntry command = CommandReference(upper);
  if (!command.table.empty()) return "command **" + upper + "**\n\n" + command.table;
  ReferenceEntry condition = ConditionReference(upper);
  if (!condition.table.empty()) return "condition **" + upper + "**\n\n" + condition.table;
  return std::nullopt;
}

std::optional<std::string> StatementText(const Document& document, int line) {
  const Compilation& compilation = document.compilation();
  std::string listing;
  Disassembly code;
  bool decoded = false;
  for (const LineCode& range : compilation.line_code) {
    if (range.physical_line != line + 1) continue;
    if (!decoded) {
      code = Disassemble(compilation.code, DeclaredNames(compilation.symbols));
      decoded = true;
    }
    for (const DecodedItem& item : code.items) {
      if (item.offset >= range.begin && item.offset < range.end) {
        listing += FormatItem(item, compilation.code);
      }
    }
  }
  if (listing.empty()) return std::nullopt;
  return "compiles to (offsets and bytes in hexadecimal):\n\n" + Fenced(listing);
}

}  // namespace

std::optional<std::string> NameMeaning(const Compilation& compilation, std::string_view word) {
  std::string upper = ToUpper(word);
  for (const Symbol& symbol : compilation.declarations) {
    if (ToUpper(symbol.name) == upper) return DeclarationText(compilation, symbol);
  }
  if (upper.find('.') != std::string::npos) {
    return ElementOfModuleText(compilation.symbols.modules.Find(ModulePart(upper)),
                               ElementPart(upper));
  }
  return ReferenceText(upper);
}

Json HoverAt(const Document& document, Position position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  int line = position.line;
  int column = document.ByteColumnOf(position);
  std::string_view text = document.LineText(line);
  std::vector<std::string> sections;
  AddExplanations(document, line, column, sections);
  const Compilation& compilation = document.compilation();
  std::optional<WordRange> word = WordAtColumn(text, column);
  // In "FRONT.VALID" the part after the dot is the element, whatever span
  // the module's use covers.
  size_t dot = word ? TextOf(text, *word).find('.') : std::string_view::npos;
  bool on_element = dot != std::string_view::npos && column > word->begin + static_cast<int>(dot);
  const Symbol* symbol = on_element ? nullptr : DeclaredNameAt(document, position);
  if (symbol != nullptr) {
    sections.push_back(DeclarationText(compilation, *symbol));
  } else if (word) {
    if (std::optional<std::string> element = ElementText(document, line, TextOf(text, *word))) {
      sections.push_back(*element);
    } else if (std::optional<std::string> meaning = ReferenceText(TextOf(text, *word))) {
      sections.push_back(*meaning);
    }
  }
  if (std::optional<std::string> statement = StatementText(document, line)) {
    sections.push_back(*statement);
  }
  if (sections.empty()) return nullptr;
  std::string value;
  for (const std::string& section : sections) {
    if (!value.empty()) value += "\n\n---\n\n";
    value += section;
  }
  Json result = {{"contents", {{"kind", "markdown"}, {"value", value}}}};
  if (word) {
    result["range"] =
        RangeJson(document.PositionOf(line, word->begin), document.PositionOf(line, word->end));
  }
  return result;
}

}  // namespace vigil::lsp
