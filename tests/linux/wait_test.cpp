// The one wait: what it reports when several descriptors are ready at once, and a deadline that
// has passed; pipes stand in for the display connection and the script's watch.
#include <gtest/gtest.h>
#include <unistd.h>

#include "hosts/linux/clock.hpp"
#include "hosts/linux/posix_wait.hpp"

namespace lumenweave::linux {
namespace {

struct pipe_t {
    int ends[2] = {-1, -1};
    pipe_t() { EXPECT_EQ(pipe(ends), 0); }
    ~pipe_t() {
        close(ends[0]);
        close(ends[1]);
    }
    void ready() const { EXPECT_EQ(write(ends[1], "x", 1), 1); }
};

TEST(LinuxWait, ReportsEverySourceReadyAndLeavesTheDecisionToTheCaller) {
    pipe_t display;
    pipe_t script;
    const wait_sources_t sources = {display.ends[0], script.ends[0], -1, 0};
    // A deadline already past still looks once: nothing ready is the deadline, and only that.
    wait_news_t news = wait_on(sources, monotonic_ns() - 1);
    EXPECT_TRUE(news.deadline);
    EXPECT_FALSE(news.display || news.script || news.power || news.stop || news.display_lost);
    // A saved script and the display at once: both said, neither dropped for the other.
    script.ready();
    display.ready();
    news = wait_on(sources, 0);
    EXPECT_TRUE(news.script);
    EXPECT_TRUE(news.display);
    EXPECT_FALSE(news.deadline);
    // The connection's end with nothing left to read is its loss, not something to read.
    pipe_t lost;
    close(lost.ends[1]);
    lost.ends[1] = -1;
    news = wait_on({lost.ends[0], -1, -1, 0}, 0);
    EXPECT_TRUE(news.display_lost);
}

}  // namespace
}  // namespace lumenweave::linux
