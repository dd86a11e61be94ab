#pragma once
// Qt's own texts in Chinese: the standard buttons (是/否/确定/取消) and the file, print and input dialogs
// read in the language of everything else the program shows.

#include "quillcmrunstd_export.h"

namespace Kvtranslations {
// Installs Qt's Chinese catalogue into the running application once and makes Chinese the default
// locale. False when the catalogue is not installed (the package with Qt's translations is missing).
QUILLCMRUNSTD_EXPORT bool InstallChineseTranslations();
} // namespace Kvtranslations
