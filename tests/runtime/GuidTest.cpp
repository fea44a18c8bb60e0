#include "runtime/Guid.h"

#include <gtest/gtest.h>

using runtime::Guid;

TEST(Guid, ParsesAndFormatsTheRegistryForm)
{
    const auto g = Guid::parse("{78f6d195-85cf-4827-9931-53bfe1ed4ea2}");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->data1, 0x78F6D195u);
    EXPECT_EQ(g->data4[7], 0xA2);
    EXPECT_EQ(g->toString(), "{78F6D195-85CF-4827-9931-53BFE1ED4EA2}");
    EXPECT_EQ(Guid::parse("78F6D195-85CF-4827-9931-53BFE1ED4EA2"), g);
    static_assert(runtime::guid("{00000000-0000-0000-C000-000000000046}").data4[0] == 0xC0);
}

TEST(Guid, RejectsMalformedText)
{
    for (const char* text : {"", "{}", "{78F6D195-85CF-4827-9931-53BFE1ED4EA}", "{78F6D195-85CF-4827-9931-53BFE1ED4EAG}",
                             "{78F6D195+85CF-4827-9931-53BFE1ED4EA2}", "{78F6D195-85CF-4827-9931-53BFE1ED4EA2",
                             "(78F6D195-85CF-4827-9931-53BFE1ED4EA2)"})
        EXPECT_FALSE(Guid::parse(text)) << text;
}
