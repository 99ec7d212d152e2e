#include "practice/koch.h"

namespace zarn {

std::string koch_pool(int lesson) {
  const auto count = static_cast<std::size_t>(lesson) + 1;
  std::string pool(kKochOrder.substr(0, count));
  if (lesson > 1) pool += kKochOrder[count - 1];
  return pool;
}

}  // namespace zarn
