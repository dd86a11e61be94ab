#include "Udllserverobject.h"

#include "QuillExceptions.h"

namespace Udllserverobject {
ICoQuillServerDisp *vmrSvr = nullptr;

QVariant Invoke(int dispId, const QVariantList &args)
{
    if (!vmrSvr)
        throw EDatabaseError(QStringLiteral("主程序没有提供服务器对象。"));
    switch (dispId) {
    case DispBeginTrans:
        return vmrSvr->BeginWork();
    case DispRollBackTrans:
        return vmrSvr->RollBackWork();
    case DispCommitTrans:
        return vmrSvr->CommitWork();
    case DispAfterRebuild:
        return vmrSvr->AfterRebuild();
    case DispAfterScript:
        if (args.isEmpty())
            break;
        return vmrSvr->AfterScript(args.first().toString());
    default:
        break;
    }
    throw EDatabaseError(QStringLiteral("服务器对象不支持调用%1。").arg(dispId));
}
} // namespace Udllserverobject
