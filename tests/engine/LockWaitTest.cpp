// Another program's lock is known by the database's own answer, never by
// the words of a message.

#include "engine/core/Dataset.h"
#include "engine/core/LockWait.h"

#include "EngineWatch.h"
#include "GpkgMetadata.h"

#include <cpl_error.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace std::chrono_literals;

namespace {

TEST(LockWait, AMessageThatSaysLockedIsNoLock)
{
    const engine::LockWait call;
    CPLErrorHandlerPusher quiet(CPLQuietErrorHandler);
    CPLError(CE_Failure, CPLE_AppDefined, "UNIQUE constraint failed: t.blocked_at (database is locked)");
    EXPECT_FALSE(engine::LockWait::lockStoodInTheWay());
    engine::LockWait::noteLockMet();
    EXPECT_TRUE(engine::LockWait::lockStoodInTheWay());
}

TEST(LockWait, WhatACallMetEndsWithIt)
{
    {
        const engine::LockWait call;
        engine::LockWait::noteLockMet();
        const engine::LockWait inner;
        engine::LockWait::noteRanOut();
    }
    const engine::LockWait next;
    EXPECT_FALSE(engine::LockWait::lockStoodInTheWay());
}

// SQLite answers SQLITE_BUSY to the open: the dataset is locked, whatever
// GDAL's message says.
TEST(LockWait, AGeoPackageHeldByAnotherConnectionIsLockedAtOpen)
{
    const QTemporaryDir temp;
    const std::string path =
        gistest::writeDescribedGeoPackage(temp.path().toStdString(), gistest::DataColumns::Standard);
    const gistest::LockTimeout timeout(100ms);
    gistest::SqliteFile other(path);
    other.run("BEGIN EXCLUSIVE");
    std::string problem;
    EXPECT_FALSE(engine::Dataset::open(path, problem));
    EXPECT_NE(problem.find("locked by another program"), std::string::npos) << problem;
    other.run("ROLLBACK");
    EXPECT_TRUE(engine::Dataset::open(path, problem)) << problem;
}

} // namespace
