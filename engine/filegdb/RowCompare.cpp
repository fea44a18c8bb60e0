#include "engine/filegdb/RowCompare.h"

#include <ogrsf_frmts.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <cstdint>
#include <cstring>

namespace engine {

namespace {

class Hash {
public:
    void add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ bytes[i]) * 0x100000001B3ull;
    }
    template <class T>
    void add(const T& value)
    {
        add(&value, sizeof value);
    }
    std::uint64_t value() const noexcept { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325ull;
};

void addField(Hash& hash, const OGRFeature& feature, int i)
{
    const char state = !feature.IsFieldSet(i) ? 'u' : feature.IsFieldNull(i) ? 'n' : 'v';
    hash.add(state);
    if (state != 'v') return;
    const OGRField& f = *feature.GetRawFieldRef(i);
    switch (feature.GetFieldDefnRef(i)->GetType()) {
    case OFTInteger:
        hash.add(f.Integer);
        break;
    case OFTInteger64:
        hash.add(f.Integer64);
        break;
    case OFTReal:
        hash.add(f.Real);
        break;
    case OFTBinary:
        hash.add(f.Binary.paData, static_cast<std::size_t>(f.Binary.nCount));
        break;
    case OFTDate:
    case OFTTime:
    case OFTDateTime:
        hash.add(f.Date.Year);
        hash.add(f.Date.Month);
        hash.add(f.Date.Day);
        hash.add(f.Date.Hour);
        hash.add(f.Date.Minute);
        hash.add(f.Date.Second);
        hash.add(f.Date.TZFlag);
        break;
    default: {
        const char* text = feature.GetFieldAsString(i);
        hash.add(text, std::strlen(text) + 1);
    }
    }
}

// The row's values of the fields at `indexes` and its geometries.
std::uint64_t digest(const OGRFeature& feature, const std::vector<int>& indexes, std::vector<unsigned char>& wkb)
{
    Hash hash;
    for (int i : indexes) addField(hash, feature, i);
    for (int g = 0; g < feature.GetGeomFieldCount(); ++g) {
        const OGRGeometry* geometry = feature.GetGeomFieldRef(g);
        if (!geometry) {
            hash.add('-');
            continue;
        }
        wkb.resize(geometry->WkbSize());
        geometry->exportToWkb(wkbNDR, wkb.data(), wkbVariantIso);
        hash.add(wkb.data(), wkb.size());
    }
    return hash.value();
}

struct RowDigest {
    GIntBig fid = 0;
    std::uint64_t value = 0;
};

// Reads a layer's row digests on a thread of its own, so that the tables
// before and after are read at once, on two cores; it keeps at most a few
// batches ahead, so memory does not grow with the table.
class DigestReader {
public:
    DigestReader(OGRLayer& layer, std::vector<int> indexes)
        : layer_(layer), indexes_(std::move(indexes)), thread_([this] { run(); })
    {
    }
    ~DigestReader()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    DigestReader(const DigestReader&) = delete;
    DigestReader& operator=(const DigestReader&) = delete;

    // The next row's digest; false at the end, or where a row could not
    // be read (failed()).
    bool next(RowDigest& row)
    {
        if (position_ == current_.size()) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return !ready_.empty() || done_; });
            if (ready_.empty()) return false;
            current_ = std::move(ready_.front());
            ready_.pop_front();
            position_ = 0;
            lock.unlock();
            changed_.notify_all();
        }
        row = current_[position_++];
        return true;
    }

    bool failed()
    {
        const std::lock_guard lock(mutex_);
        return failed_;
    }

private:
    static constexpr std::size_t batchRows = 1024;
    static constexpr std::size_t batchesAhead = 4;

    void run()
    {
        // GDAL's error state and handlers are the thread's own.
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
        std::vector<unsigned char> wkb;
        std::vector<RowDigest> batch;
        layer_.ResetReading();
        bool stopped = false;
        for (OGRFeatureUniquePtr feature(layer_.GetNextFeature()); feature && !stopped;
             feature.reset(layer_.GetNextFeature())) {
            batch.push_back({feature->GetFID(), digest(*feature, indexes_, wkb)});
            if (batch.size() == batchRows) stopped = hand(batch);
        }
        if (!stopped) hand(batch);
        const bool failed = CPLGetLastErrorType() >= CE_Failure;
        CPLPopErrorHandler();
        {
            const std::lock_guard lock(mutex_);
            failed_ = failed;
            done_ = true;
        }
        changed_.notify_all();
    }

    // Hands a batch over once there is room; true when the reader is told to stop.
    bool hand(std::vector<RowDigest>& batch)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ready_.size() < batchesAhead || stop_; });
        if (!batch.empty()) ready_.push_back(std::move(batch));
        batch.clear();
        const bool stopping = stop_;
        lock.unlock();
        changed_.notify_all();
        return stopping;
    }

    OGRLayer& layer_;
    const std::vector<int> indexes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<RowDigest>> ready_;
    bool done_ = false, failed_ = false, stop_ = false;
    std::vector<RowDigest> current_;
    std::size_t position_ = 0;
    std::thread thread_;
};

} // namespace

bool sameRows(OGRLayer& before, OGRLayer& after, const std::vector<std::string>& fields, long long& row,
              const std::function<bool(const OGRFeature& row)>& alsoHolds)
{
    row = -1;
    const auto indexes = [&](OGRLayer& layer) {
        std::vector<int> found;
        for (const std::string& name : fields) found.push_back(layer.GetLayerDefn()->GetFieldIndex(name.c_str()));
        return found;
    };
    const std::vector<int> oldIndexes = indexes(before), newIndexes = indexes(after);
    if (std::find(oldIndexes.begin(), oldIndexes.end(), -1) != oldIndexes.end() ||
        std::find(newIndexes.begin(), newIndexes.end(), -1) != newIndexes.end())
        return false;
    std::vector<unsigned char> wkb;
    DigestReader old(before, oldIndexes);
    CPLErrorReset();
    after.ResetReading();
    for (;;) {
        RowDigest was;
        const bool hasOld = old.next(was);
        const OGRFeatureUniquePtr now(after.GetNextFeature());
        // Either reading also ends where a row cannot be read.
        if (CPLGetLastErrorType() >= CE_Failure || (!hasOld && old.failed())) return false;
        if (!hasOld || !now) return !hasOld && !now;
        if (was.fid != now->GetFID() || was.value != digest(*now, newIndexes, wkb) ||
            (alsoHolds && !alsoHolds(*now))) {
            row = was.fid;
            return false;
        }
    }
}

} // namespace engine
