#pragma once
// The host's own configuration: edition code and mode flags, read from the section "HOST" of
// CONFIG.INI in the host's system folder.

#include "TDllParams.h"

namespace HostConfig {
// Fills the edition code (default 6680) and the mode flags of the record.
void ApplyTo(TDllParams &params);
// The pass-token key file (key "TokenKeyFile", usually on removable media); empty: no key reader.
QString TokenKeyFile();
} // namespace HostConfig
