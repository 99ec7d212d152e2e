#include "core/change_values.h"

#include "core/value_rule.h"

namespace zarn {
namespace {

const ValueRule& rule_of(InlineChange::Kind kind) {
  switch (kind) {
    case InlineChange::Kind::speed:
      return rules::kInlineSpeed;
    case InlineChange::Kind::character_speed:
      return rules::kCharacterSpeed;
    case InlineChange::Kind::tone:
      return rules::kInlineTone;
    case InlineChange::Kind::volume:
      break;
  }
  return rules::kVolume;
}

}  // namespace

std::optional<SoundRefusal> check_change_values(std::span<const InlineChange> changes) {
  for (const InlineChange& change : changes) {
    const ValueRule& rule = rule_of(change.kind);
    if (!accepts(rule, change.value)) {
      return InlineChangeRefused{change, number_text(change.value) + " is not " +
                                             allowed_text(rule) + std::string(rule.later)};
    }
  }
  return std::nullopt;
}

}  // namespace zarn
