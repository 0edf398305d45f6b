// The registration commands of horizonmill-render: --register,
// --list-registered and --unregister.
#pragma once

#include "cli/Options.h"

namespace horizonmill::cli {

// Runs options.command (not Command::Render); returns the exit status.
int RunRegistrationCommand(const Options& options);

}  // namespace horizonmill::cli
