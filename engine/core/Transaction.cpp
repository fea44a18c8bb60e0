#include "engine/core/Transaction.h"

#include "engine/core/OgrStatus.h"

#include <gdal_priv.h>

namespace engine {

Transaction::Transaction(GDALDataset& dataset, bool allowEmulated) : dataset_(dataset)
{
    const bool supported = dataset.TestCapability(ODsCTransactions) ||
                           (allowEmulated && dataset.TestCapability(ODsCEmulatedTransactions));
    if (!supported) return;
    started_ = statusOf(dataset.StartTransaction(allowEmulated));
    active_ = runtime::succeeded(started_);
}

Transaction::~Transaction()
{
    if (active_) dataset_.RollbackTransaction();
}

runtime::HResult Transaction::commit()
{
    if (!active_) return runtime::S_OK;
    active_ = false;
    return statusOf(dataset_.CommitTransaction());
}

} // namespace engine
