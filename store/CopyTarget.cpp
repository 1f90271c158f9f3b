#include "CopyTarget.h"

#include "EDatabaseError.h"
#include "FileCopyTarget.h"
#include "ServerCopyTarget.h"
#include "ServerDataSource.h"

std::unique_ptr<CopyTarget> CopyTarget::open(const QString &dataSource, Schema::TextLimits limits)
{
    if (isServerDataSource(dataSource))
        return std::make_unique<ServerCopyTarget>(dataSource, limits);
    if (looksLikeServerDataSource(dataSource))
        throw EDatabaseError(unreadableServerDataSource());
    return std::make_unique<FileCopyTarget>(dataSource, limits);
}
