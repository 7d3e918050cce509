// The compiled code: bytes appended in script order; only jump fields are
// rewritten after they were appended.
#ifndef VIGIL_CORE_COMPILE_CODE_BUFFER_H_
#define VIGIL_CORE_COMPILE_CODE_BUFFER_H_

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vigil {

class CodeBuffer {
 public:
  void Clear() { bytes_.clear(); }
  int size() const { return static_cast<int>(bytes_.size()); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  // True when every value fits a byte.
  static bool AllBytes(std::initializer_list<int> values);
  // Appends the values, which must all fit a byte (see AllBytes).
  void Append(std::initializer_list<int> values);

  // Writes the forward distance from the end of the two-byte field at the
  // 1-based `position` to the current end, low byte first. False, and nothing
  // written, when the distance does not fit two bytes.
  bool PatchJump(int position);

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_CODE_BUFFER_H_
