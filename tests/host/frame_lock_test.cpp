// The frame lock run on standard-library primitives: exclusion between the writer and readers,
// the bounded spinning before sleeping, and the hand-over through the two events.
#include "hosts/windows/frame_lock.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace saver;

struct test_event {
    explicit test_event(bool manual_reset) : manual_reset(manual_reset) {}
    void set() {
        std::lock_guard<std::mutex> guard(mutex);
        signalled = true;
        changed.notify_all();
    }
    void reset() {
        std::lock_guard<std::mutex> guard(mutex);
        signalled = false;
    }
    void wait() {
        std::unique_lock<std::mutex> guard(mutex);
        ++waits;
        changed.wait(guard, [this] { return signalled; });
        if (!manual_reset) {
            signalled = false;
        }
    }
    bool manual_reset;
    bool signalled = false;
    std::atomic<int> waits{0};
    std::mutex mutex;
    std::condition_variable changed;
};

using test_lock = frame_lock_t<std::mutex, test_event>;

// Polls until the condition holds, for at most ten seconds.
template <class Condition>
bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(FrameLock, UncontendedTakesAndGivesBackTheWord) {
    test_lock lock;
    acquire_for_writing(lock);
    EXPECT_EQ(lock.word.load(), 0x10000u);
    EXPECT_FALSE(lock.writer_done_event.signalled);
    release_from_writing(lock);
    EXPECT_EQ(lock.word.load(), 0u);
    EXPECT_TRUE(lock.writer_done_event.signalled);

    acquire_for_reading(lock);
    acquire_for_reading(lock);
    EXPECT_EQ(lock.word.load(), 2u);
    release_from_reading(lock);
    release_from_reading(lock);
    EXPECT_EQ(lock.word.load(), 0u);
    // No writer waited, so the drained event was never set.
    EXPECT_FALSE(lock.readers_drained_event.signalled);
}

TEST(FrameLock, ReaderSpinsThenSleepsWhileTheWriterHoldsAndEntersAfterRelease) {
    test_lock lock;
    acquire_for_writing(lock);
    std::atomic<bool> inside{false};
    std::thread reader([&] {
        acquire_for_reading(lock);
        inside = true;
    });
    ASSERT_TRUE(eventually([&] { return lock.writer_done_event.waits.load() >= 1; }));
    EXPECT_FALSE(inside.load());
    release_from_writing(lock);
    reader.join();
    EXPECT_TRUE(inside.load());
    EXPECT_EQ(lock.word.load(), 1u);
    release_from_reading(lock);
}

TEST(FrameLock, WriterBarsNewReadersAndWaitsForTheLastToLeave) {
    test_lock lock;
    acquire_for_reading(lock);
    acquire_for_reading(lock);
    std::atomic<bool> writing{false};
    std::atomic<bool> may_release{false};
    // The writer lock is a mutex: the thread that took it must be the one that gives it back.
    std::thread writer([&] {
        acquire_for_writing(lock);
        writing = true;
        while (!may_release.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        release_from_writing(lock);
    });
    ASSERT_TRUE(eventually([&] { return lock.word.load() == 0x10002u; }));

    std::atomic<bool> late_reader_inside{false};
    std::thread late_reader([&] {
        acquire_for_reading(lock);
        late_reader_inside = true;
        release_from_reading(lock);
    });
    ASSERT_TRUE(eventually([&] { return lock.writer_done_event.waits.load() >= 1; }));
    EXPECT_FALSE(late_reader_inside.load());

    release_from_reading(lock);
    EXPECT_FALSE(writing.load());
    release_from_reading(lock);  // the last one out wakes the writer
    ASSERT_TRUE(eventually([&] { return writing.load(); }));
    EXPECT_FALSE(late_reader_inside.load());

    may_release = true;
    writer.join();
    late_reader.join();
    EXPECT_TRUE(late_reader_inside.load());
    EXPECT_EQ(lock.word.load(), 0u);
}

TEST(FrameLock, WritersTakeTurns) {
    test_lock lock;
    std::atomic<int> writers_inside{0};
    std::atomic<int> overlaps{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < 3; ++w) {
        writers.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                acquire_for_writing(lock);
                if (writers_inside.fetch_add(1) != 0) {
                    ++overlaps;
                }
                writers_inside.fetch_sub(1);
                release_from_writing(lock);
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(lock.word.load(), 0u);
}

// A master rewriting a shared frame while clones read it: no clone ever sees a half-written
// frame, and nobody is left waiting at the end.
TEST(FrameLock, ClonesNeverSeeAFrameBeingRewritten) {
    test_lock lock;
    std::vector<int> frame(256, 0);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<long> replays{0};
    constexpr int frames = 3000;

    std::vector<std::thread> clones;
    for (int c = 0; c < 3; ++c) {
        clones.emplace_back([&] {
            while (!done.load()) {
                acquire_for_reading(lock);
                for (int value : frame) {
                    if (value != frame.front()) {
                        ++torn;
                        break;
                    }
                }
                ++replays;
                release_from_reading(lock);
            }
        });
    }
    int written = 0;
    for (int i = 1; i <= frames || replays.load() < frames; ++i) {
        acquire_for_writing(lock);
        for (int& value : frame) {
            value = i;
        }
        written = i;
        release_from_writing(lock);
    }
    done = true;
    for (auto& clone : clones) {
        clone.join();
    }
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(lock.word.load(), 0u);
    EXPECT_EQ(frame.back(), written);
}

}  // namespace
