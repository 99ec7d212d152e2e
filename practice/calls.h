// Callsigns of the shapes heard on the air, made up: one or two prefix
// characters and a digit, one to three suffix letters, some operating
// portable (/P), mobile (/M) or from another country (a prefix and '/').
#pragma once

#include <string>

#include "practice/random.h"

namespace zarn {

std::string random_call(Random& random);

}  // namespace zarn
