#include "HostContract.h"

#include <gtest/gtest-spi.h>

namespace conformance {

const ContractTable& standardTable()
{
    using N = Variant::Null;
    static const ContractTable table{
        5,
        {
            {u"NAME", host::fieldTypeString, 40, u"Place name", u"unnamed", {u"Ash", u"Birch", N{}, u"Zoë", u"Elm"}},
            {u"Count", host::fieldTypeInteger, 0, u"", std::int32_t{0}, {1, -2, N{}, 40000, 7}},
            {u"Ratio", host::fieldTypeDouble, 0, u"", 2.5, {0.5, -1.25, N{}, 1000000.0, 3.0}},
            {u"Small", host::fieldTypeSmallInteger, 0, u"", std::int32_t{1}, {1, 2, N{}, 300, -5}},
            {u"Code", host::fieldTypeString, 10, u"", {}, {u"12", u"7", N{}, u"x1", u"0"}},
        }};
    return table;
}

std::string hostName(const ::testing::TestParamInfo<HostFactory>& info) { return info.param.name; }

void PrintTo(const HostFactory& factory, std::ostream* os) { *os << factory.name; }

// Runs a case the host is known to fail with its failures held back: while
// it fails it is reported as skipped with the reason, and once it passes it
// fails, so that the entry is taken out of the profile.
struct HostContract::KnownDifference {
    explicit KnownDifference(std::string why)
        : reason(std::move(why)),
          reporter(std::make_unique<::testing::ScopedFakeTestPartResultReporter>(
              ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures))
    {
    }
    bool failed()
    {
        reporter.reset();
        for (int i = 0; i < failures.size(); ++i)
            if (failures.GetTestPartResult(i).failed()) return true;
        return false;
    }
    std::string reason;
    ::testing::TestPartResultArray failures;
    std::unique_ptr<::testing::ScopedFakeTestPartResultReporter> reporter;
};

namespace {
// The case's name without the host's.
std::string caseName()
{
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return name.substr(0, name.find('/'));
}
} // namespace

void HostContract::SetUp()
{
    const auto& known = profile().knownDifferences;
    if (const auto it = known.find(caseName()); it != known.end())
        known_ = std::make_unique<KnownDifference>(it->second);
    liveAtStart_ = GetParam().liveObjects();
    host_ = GetParam().make();
    // A host whose service is not there (no database server) skips the case.
    if (IsSkipped()) return;
    ASSERT_TRUE(host_) << "the host could not be made";
}

void HostContract::TearDown()
{
    host_.reset();
    EXPECT_EQ(GetParam().liveObjects(), liveAtStart_) << "objects the case obtained are still alive";
    if (!known_) return;
    const bool failed = known_->failed();
    const std::string reason = known_->reason;
    known_.reset();
    if (failed) GTEST_SKIP() << "known difference: " << reason;
    ADD_FAILURE() << "listed as a known difference (" << reason << ") but passes now: take it out of the profile";
}

HostContract::HostContract() = default;
HostContract::~HostContract() = default;

} // namespace conformance
