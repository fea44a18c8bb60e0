#pragma once

// The host contract as one table of cases, run against every host: each
// host's test program instantiates the HostContract suite with a factory
// that builds the standard table (standardTable()) in that host, and a
// profile that says where its data format differs:
//
//   INSTANTIATE_TEST_SUITE_P(MyHost, HostContract, ::testing::Values(myHostFactory()),
//                            conformance::hostName);
//
// The cases need nothing but the interfaces of host/ and the runtime.

#include "host/ObjectModel.h"
#include "runtime/ComPtr.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace conformance {

using runtime::ComPtr;
using runtime::HResult;
using runtime::Variant;

// One attribute field of the standard table, with a value for each row.
struct ContractField {
    std::u16string name;
    std::int32_t type = host::fieldTypeString;
    std::int32_t length = 0;
    std::u16string alias;
    Variant defaultValue;
    std::vector<Variant> values;
};

// A polygon table whose attribute fields are `fields`, in that order, after
// the object id and the geometry. Names suit every format (ASCII, at most
// ten characters); text values are Latin-1, so that every format stores
// them as they are.
struct ContractTable {
    std::size_t rows = 0;
    std::vector<ContractField> fields;
};
const ContractTable& standardTable();

enum class Access { ReadWrite, ReadOnly };

// One host holding one fresh copy of the standard table.
class HostUnderTest {
public:
    virtual ~HostUnderTest() = default;
    // The table's feature class, opened afresh on every call (a host over
    // files reads them again), as read-only data when asked for. The host
    // serves the classes the add-in creates (new field definition, field
    // calculator) while this object lives.
    virtual ComPtr<host::IFeatureClass> table(Access access) = 0;
    // Every row's value of an attribute field, in object-id order, read past
    // the host's interfaces (from the data itself where there is a file):
    // null for null, a number as int32, int64 or double, text as UTF-16.
    virtual std::vector<Variant> column(const std::u16string& field) = 0;
};

// Properties a format may keep or drop (then it reads back as a field
// without it: no alias, no default, nullable, no size).
enum class Property { Alias, DefaultValue, NotNull, Length, PrecisionAndScale };

// What adding a field of a type code does.
struct TypeOutcome {
    HResult status = runtime::S_OK;
    std::int32_t storedAs = -1; // the code read back; -1: the code given
};

// Where a host's data format differs from the contract's defaults. Every
// entry is a documented difference that the cases test as stated.
struct Profile {
    // Type codes whose outcome is not the default: kept for 0 to 5 and 8,
    // refused with E_INVALIDARG for 6, 7 and unknown codes. Codes listed
    // here beyond those are tried too.
    std::map<std::int32_t, TypeOutcome> types;
    std::set<Property> dropped;
    // An attribute field of the table the data source requires (a FileGDB's
    // Shape_Area); empty when the format has none.
    std::u16string requiredField;
    // Cases this host fails today, by case name, with the reason. Such a case
    // is run and reported as skipped while it fails, and fails once it
    // passes, so that the entry is removed.
    std::map<std::string, std::string> knownDifferences;
};

struct HostFactory {
    std::string name;
    std::function<std::unique_ptr<HostUnderTest>()> make;
    // The host's live objects: after each case, with the host gone, as many
    // as before it.
    std::function<long()> liveObjects;
    Profile profile;
};

// Names an instantiation's tests after the host.
std::string hostName(const ::testing::TestParamInfo<HostFactory>& info);
void PrintTo(const HostFactory& factory, std::ostream* os);

class HostContract : public ::testing::TestWithParam<HostFactory> {
public:
    HostContract();
    ~HostContract() override;

protected:
    void SetUp() override;
    void TearDown() override;

    const Profile& profile() const { return GetParam().profile; }
    HostUnderTest& host() { return *host_; }

private:
    std::unique_ptr<HostUnderTest> host_;
    long liveAtStart_ = 0;
    struct KnownDifference;
    std::unique_ptr<KnownDifference> known_;
};

} // namespace conformance
