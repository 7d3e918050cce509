// The language's words by what they do: the words that start a declaration
// or a block line, the command and test words (read from the instruction
// list), the properties a statement can set, and every element and event
// name. The compiler's front ends, the notes and the C API take them from
// here.
#ifndef VIGIL_CORE_LANG_WORD_LISTS_H_
#define VIGIL_CORE_LANG_WORD_LISTS_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// The words that start a declaration line, and the kinds DEFINE declares.
inline constexpr std::string_view kModuleWord = "MODULE";
inline constexpr std::string_view kPartitionWord = "PARTITION";
inline constexpr std::string_view kDeviceWord = "DEVICE";
inline constexpr std::string_view kDefineWord = "DEFINE";
inline constexpr std::string_view kParameterWord = "PARAMETER";
inline constexpr std::string_view kMarkWord = "MARK";
inline constexpr std::string_view kRegisterWord = "REGISTER";
inline constexpr std::string_view kTimerWord = "TIMER";
inline constexpr std::array<std::string_view, 4> kDeclarationWords = {kModuleWord, kPartitionWord,
                                                                      kDeviceWord, kDefineWord};
inline constexpr std::array<std::string_view, 4> kDefineKinds = {kParameterWord, kMarkWord,
                                                                 kRegisterWord, kTimerWord};

// The words of the lines that open and close blocks.
inline constexpr std::string_view kEventWord = "EVENT";
inline constexpr std::string_view kEventEndWord = "EVENTEND";
inline constexpr std::string_view kIfWord = "IF";
inline constexpr std::string_view kElseWord = "ELSE";
inline constexpr std::string_view kEndIfWord = "ENDIF";
inline constexpr std::array<std::string_view, 5> kBlockWords = {kEventWord, kEventEndWord, kIfWord,
                                                                kElseWord, kEndIfWord};

// The words that start a command statement ("DELAY", "INVERT", ...), each
// once, in the order of the instruction list; IF and ELSE are block words.
std::vector<std::string_view> CommandWords();
// The test words of conditions ("TIMEPLAN", "PASSED", "BYTE1", ...), each
// once, in the order of the condition list.
std::vector<std::string_view> ConditionWords();
// The properties an assignment sets after a module or partition name and a
// "." (ARMED, SYSTEMKEY, ...).
std::vector<std::string_view> SettableProperties();
// The elements a test names after a module name and a "." (TAMPER, ...),
// inputs aside.
std::vector<std::string_view> ModuleTestElements();

// Every element name of every module kind, and every event name, each once.
std::vector<std::string> AllElementNames();
std::vector<std::string> AllEventNames();

// "A, B and C"; `last` joins the last two.
std::string JoinWords(const std::vector<std::string_view>& words, std::string_view last = " and ");

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_WORD_LISTS_H_
