// The store of remembered frames: records under local application data, replaced whole, read
// as far as asked, listed and removed; an identity claimed by one holder at a time.
#include "platform/frame_store.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

namespace store = platform::frame_store;

TEST(FrameStore, RecordsAreWrittenWholeReadListedAndRemoved) {
    const std::u16string id = store::NewIdentity();
    EXPECT_EQ(id.size(), 32u);
    EXPECT_NE(store::NewIdentity(), id);
    EXPECT_FALSE(store::Read(id, 100)) << "no record yet";
    ASSERT_TRUE(store::Write(id, "Vistrelle frame 1\nSize=0\n"));
    ASSERT_TRUE(store::Write(id, "Vistrelle frame 1\nSize=2\n")) << "replaced";
    EXPECT_EQ(store::Read(id, 1000), "Vistrelle frame 1\nSize=2\n");
    EXPECT_EQ(store::Read(id, 9), "Vistrelle");
    const auto ids = store::List();
    EXPECT_EQ(std::ranges::count(ids, id), 1) << "listed once, the new file gone";
    EXPECT_TRUE(store::Remove(id));
    EXPECT_FALSE(store::Read(id, 100));
    EXPECT_TRUE(store::Remove(id)) << "a record that is not there is gone";
}

TEST(FrameStore, AnIdentityIsClaimedOnce) {
    const std::u16string id = store::NewIdentity();
    EXPECT_FALSE(store::Held(id));
    EXPECT_TRUE(store::Claim(id));
    EXPECT_TRUE(store::Held(id));
    EXPECT_FALSE(store::Claim(id)) << "held already";
}

}  // namespace
