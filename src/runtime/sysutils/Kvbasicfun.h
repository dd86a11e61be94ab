#pragma once
// Rounding and number texts shared by every subsystem.

#include <QString>

#include "quillsysutils_export.h"

namespace Kvbasicfun {
// Decimal rounding, half away from zero, of the shortest decimal text that reads back as the same
// double: 1.005 -> 1.01, -2.675 -> -2.68. Never returns -0.
QUILLSYSUTILS_EXPORT double FloatToFloatBit(double value, int places);
// The same rounding as fixed-decimal text with "." and no thousands separator; never "-0.00".
QUILLSYSUTILS_EXPORT QString FloatToStringBit(double value, int places);
// Shortest text that reads back as the same double, without exponent for ordinary magnitudes.
QUILLSYSUTILS_EXPORT QString DoubleToString(double value);
// The host's system folder (configuration and help files), without a trailing separator.
// ORVANE_SYSTEM_PATH overrides the folder of the running program.
QUILLSYSUTILS_EXPORT QString GetSystemPath();
// The folder of backups and their catalogue, shared by the host and the module. It outlives a new
// installation of the program: CONFIG.INI [SERVER] BackupFolder when set (relative to the system
// path), else <system path>/BackUp when ORVANE_SYSTEM_PATH names the system path (tools, tests),
// else the user's data folder (~/.local/share/orvane/BackUp).
QUILLSYSUTILS_EXPORT QString GetBackupPath();

inline double Round2(double value)
{
    return FloatToFloatBit(value, 2);
}
inline double Round4(double value)
{
    return FloatToFloatBit(value, 4);
}
} // namespace Kvbasicfun
