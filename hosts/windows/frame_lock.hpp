// The frame lock between render threads: one writer (the master computing a frame, or any thread
// creating its context) against any number of readers (clones replaying the draw list). Both
// sides spin a bounded number of attempts on the lock word before sleeping on an event.
// The algorithm is written over its primitives so that the same code runs on Win32 events and
// critical sections in the program and on standard-library stand-ins in the native tests.
#pragma once

#include <atomic>
#include <cstdint>

namespace saver {

// Mutex: lock(), unlock(). Event: set(), reset(), wait(); constructed with its manual-reset flag.
template <class Mutex, class Event>
struct frame_lock_t {
    // Bits 0 to 15: readers inside; bit 16: a writer holds the lock or waits for readers to leave.
    std::atomic<uint32_t> word{0};
    Mutex writer_lock;
    Event writer_done_event{true};
    Event readers_drained_event{false};
};

constexpr uint32_t frame_lock_writer_bit = 0x10000;
constexpr uint32_t frame_lock_reader_mask = 0xFFFF;
constexpr int frame_lock_spin_attempts = 1000;

inline void cpu_pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

template <class Mutex, class Event>
void acquire_for_writing(frame_lock_t<Mutex, Event>& lock) {
    lock.writer_lock.lock();
    for (int attempt = 0; attempt < frame_lock_spin_attempts; ++attempt) {
        if (attempt > 0) {
            cpu_pause();
        }
        uint32_t expected = 0;
        if (lock.word.compare_exchange_strong(expected, frame_lock_writer_bit)) {
            lock.writer_done_event.reset();
            return;
        }
    }
    // Readers are inside: bar new ones, then sleep until the last one leaves. The drained event
    // may carry a stale signal from an earlier round, hence the loop.
    lock.writer_done_event.reset();
    lock.word.fetch_or(frame_lock_writer_bit);
    while (lock.word.load() > frame_lock_writer_bit) {
        lock.readers_drained_event.wait();
    }
}

template <class Mutex, class Event>
void release_from_writing(frame_lock_t<Mutex, Event>& lock) {
    lock.word.fetch_xor(frame_lock_writer_bit);
    lock.writer_done_event.set();
    lock.writer_lock.unlock();
}

template <class Mutex, class Event>
void acquire_for_reading(frame_lock_t<Mutex, Event>& lock) {
    for (;;) {
        uint32_t seen = lock.word.load();
        for (int attempt = 0; attempt < frame_lock_spin_attempts; ++attempt) {
            // Only a word without the writer bit can be exchanged, so a writer keeps readers out.
            uint32_t expected = seen & frame_lock_reader_mask;
            if (lock.word.compare_exchange_strong(expected, expected + 1)) {
                return;
            }
            seen = expected;
        }
        while (lock.word.load() > frame_lock_reader_mask) {
            lock.writer_done_event.wait();
        }
    }
}

template <class Mutex, class Event>
void release_from_reading(frame_lock_t<Mutex, Event>& lock) {
    if (lock.word.fetch_sub(1) - 1 == frame_lock_writer_bit) {
        lock.readers_drained_event.set();
    }
}

}  // namespace saver
