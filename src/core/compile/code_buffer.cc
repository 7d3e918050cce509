#include "core/compile/code_buffer.h"

#include <cstddef>

namespace vigil {

bool CodeBuffer::AllBytes(std::initializer_list<int> values) {
  for (int value : values) {
    if (value < 0 || value > 255) return false;
  }
  return true;
}

void CodeBuffer::Append(std::initializer_list<int> values) {
  for (int value : values) bytes_.push_back(static_cast<uint8_t>(value));
}

bool CodeBuffer::PatchJump(int position) {
  int distance = size() - position - 1;
  if (distance < 0 || distance > 0xFFFF || position < 1 || position + 1 > size()) return false;
  bytes_[static_cast<size_t>(position - 1)] = static_cast<uint8_t>(distance & 0xFF);
  bytes_[static_cast<size_t>(position)] = static_cast<uint8_t>(distance >> 8);
  return true;
}

}  // namespace vigil
