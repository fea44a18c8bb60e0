#pragma once

#include "runtime/Status.h"

class GDALDataset;

namespace engine {

// A dataset transaction where the driver has one; rolled back unless committed.
class Transaction {
public:
    // `allowEmulated` also accepts a driver's emulated transaction (a backup
    // of the files on disk), for work that must be all or nothing.
    Transaction(GDALDataset& dataset, bool allowEmulated);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Failing when the driver has transactions but could not start one.
    runtime::HResult started() const noexcept { return started_; }
    runtime::HResult commit();
    bool active() const noexcept { return active_; }

private:
    GDALDataset& dataset_;
    runtime::HResult started_ = runtime::S_OK;
    bool active_ = false;
};

} // namespace engine
