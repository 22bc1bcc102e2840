#include "app/failurenotices.h"

namespace sentrel {

void FailureNotices::failed(FailureCause cause, const QString &message)
{
    if (told_.contains(cause))
        return;
    told_.insert(cause);
    show_(message);
}

} // namespace sentrel
