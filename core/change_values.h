// The values of a message's changes against the rules of their options
// (core/value_rule.h), before the plan weighs them against each other.
#pragma once

#include <optional>
#include <span>

#include "morse/inline_change.h"
#include "sound/refusal.h"

namespace zarn {

// The first change whose value its rule refuses, in the order written.
std::optional<SoundRefusal> check_change_values(std::span<const InlineChange> changes);

}  // namespace zarn
