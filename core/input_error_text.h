// What a refused option or message says on standard error, without the
// "zarn: severe: " before it and the line end after it.
#pragma once

#include <string>

#include "core/argument_errors.h"
#include "morse/message.h"

namespace zarn {

// One line each: what the user wrote is shown with control characters,
// backslashes and bytes that are not UTF-8 escaped.
std::string option_error_text(const OptionError& error);
std::string message_error_text(const MessageError& error);

}  // namespace zarn
