// The command line's messages on standard error: "Trelba: " before a usage error and the
// usage lines after it, "Warning: " before a warning, an error line as it is. Warnings
// are left out under -q, and progress lines (progress.hpp) are drawn as the run asks.
#pragma once

#include "driver/message_sink.hpp"

namespace trelba {

MessageSink& StandardErrorSink();

// How progress lines are shown: not at all; on one line redrawn in place (a terminal),
// a message line taking its place and the next redrawing it; or each on a line of its own
// (a file).
enum class ProgressDisplay { kNone, kRedrawn, kLines };

// What the sink shows of warnings and progress (by default: warnings, no progress).
void SetStandardErrorStyle(bool warnings, ProgressDisplay progress);

}  // namespace trelba
