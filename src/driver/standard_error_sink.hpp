// The command line's messages on standard error: "Trelba: " before a usage error and the
// usage lines after it, "Warning: " before a warning, an error line as it is.
#pragma once

#include "driver/message_sink.hpp"

namespace trelba {

MessageSink& StandardErrorSink();

}  // namespace trelba
