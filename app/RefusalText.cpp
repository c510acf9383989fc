#include "app/RefusalText.h"

#include <QCoreApplication>
#include <cstring>

#include "app/PathText.h"

namespace {

class RefusalTexts {
    Q_DECLARE_TR_FUNCTIONS(RefusalTexts)
};

}  // namespace

QString ErrnoText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

QString WalkRefusalText(const WalkPlan& plan, const WalkRefusal& refusal)
{
    const QString folder = PathText(plan.PathAt(refusal.Depth));
    if (refusal.Replaced())
        return RefusalTexts::tr("%1 is no longer the folder that was scanned").arg(folder);
    return RefusalTexts::tr("%1: %2").arg(folder, ErrnoText(refusal.Error));
}
