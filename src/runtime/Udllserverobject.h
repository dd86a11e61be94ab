#pragma once
// Holds the host's server object for the module and calls it by dispatch id, as a late-bound caller
// does: the module names the operation by number and passes its arguments as variants.

#include <QVariantList>

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllserverobject {
QUILLCMRUNSTD_EXPORT extern ICoQuillServerDisp *vmrSvr;

enum TServerDispId : int {
    DispBeginTrans = 320,
    DispRollBackTrans = 321,
    DispCommitTrans = 322,
    DispAfterRebuild = 337,
    DispAfterScript = 369, // one argument: the script file
};

// Raises EDatabaseError for an unknown dispatch id, a missing argument or when no server object is
// installed; the operation's own failures pass through.
QUILLCMRUNSTD_EXPORT QVariant Invoke(int dispId, const QVariantList &args = {});
} // namespace Udllserverobject
