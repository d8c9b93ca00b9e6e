// The registry, and the fakes' handling of calls no test scripted.
#include "platform/error.h"
#include "platform/services.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

using platform::Answer;
using platform::Services;
using platform::fakes::FakePlatform;

namespace {

TEST(Services, ThrowWhenNothingIsInstalledAndAfterTheFakesGo) {
    Services::reset();
    EXPECT_THROW(Services::messageBoxes(), platform::Error);
    {
        FakePlatform fakes;
        Services::messageBoxes().message("hello");
        EXPECT_EQ(fakes.messageBoxes.calls().front().title, "Tarnwick");
    }
    EXPECT_THROW(Services::messageBoxes(), platform::Error);
    EXPECT_THROW(Services::fontDialog(), platform::Error);
}

TEST(FakePlatform, UnscriptedCallsAreAnsweredNoOrCancelledAndReported) {
    FakePlatform fakes;
    fakes.messageBoxes.answerNext(Answer::Yes);
    EXPECT_EQ(Services::messageBoxes().question("one?", "T", Answer::No), Answer::Yes);
    EXPECT_TRUE(fakes.errors().isEmpty());
    EXPECT_EQ(Services::messageBoxes().question("two?", "T", Answer::Yes), Answer::No);
    EXPECT_THROW(Services::fontDialog().chooseFont(), platform::CancelledError);
    EXPECT_THROW(Services::fileDialog().chooseFile({}), platform::CancelledError);
    EXPECT_EQ(fakes.errors().size(), 3);
}

} // namespace
