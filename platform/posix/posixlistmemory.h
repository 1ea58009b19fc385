#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory_resource>
#include <mutex>
#include <pthread.h>

// Memory for the result list that a second thread has made ready before it is asked
// for. The list of the largest page takes a gigabyte in chunks of one size; a page that
// is written for the first time costs the system a fault and a cleared page, which was
// the largest part of a first scan. Here each chunk is mapped and its pages brought in
// ahead of the scan, on another processor, while the scan fills the chunk before it.
//
// A chunk's last `longestRecord` bytes are left for the list to bring in as it writes
// them: a record that does not fit goes to the next chunk, so they are often never
// used, and the list holds no memory its records do not.
//
// Blocks of the chunk size are mapped; every other size comes from `upstream`. The
// thread prepares chunks only right after one has been handed out, at most Ahead of
// them, and gives back those still unused once the list has stopped growing. When a
// chunk cannot be had, nothing more is prepared until one can: the room that is left
// goes to the window. Without the thread, or without the system's bulk fault-in, chunks
// are mapped when asked for and work all the same.
class PosixListMemory final : public std::pmr::memory_resource
{
public:
    // Maps a chunk of `bytes` for munmap to give back; nullptr when there is no room.
    // The system's mmap unless a test stands in for it.
    using Map = std::function<void *(std::size_t bytes)>;

    // A list that has taken no chunk for `idle` has stopped growing.
    PosixListMemory(std::size_t chunkSize, std::size_t longestRecord,
                    std::chrono::milliseconds idle = std::chrono::milliseconds(200),
                    std::pmr::memory_resource *upstream = std::pmr::new_delete_resource(), Map map = {});
    ~PosixListMemory() override;
    PosixListMemory(const PosixListMemory &) = delete;
    PosixListMemory &operator=(const PosixListMemory &) = delete;

    // How many chunks are mapped and ready now (for the tests).
    std::size_t ready();

private:
    // One chunk ahead keeps the scan clear of faults: the thread brings a chunk in
    // faster than the scan fills one. Two or four were no faster, and each chunk more
    // adds a megabyte to the list's peak.
    static constexpr std::size_t Ahead = 1;

    void *do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void *p, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override { return this == &other; }

    bool isChunk(std::size_t bytes, std::size_t alignment) const;
    void *map() const;
    void unmap(void *chunk) const;
    bool faultIn(void *chunk) const;
    void startThread();
    static void *threadMain(void *self);
    void prepare();

    const std::size_t m_chunkSize;
    const std::size_t m_faultedIn; // bytes brought in from a chunk's start
    const std::chrono::milliseconds m_idle;
    std::pmr::memory_resource *const m_upstream;
    const Map m_map;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::array<void *, Ahead> m_ready{};
    std::size_t m_readyCount = 0;
    std::size_t m_wanted = 0;   // chunks the thread is to keep ready
    bool m_preparing = false;   // the thread holds a chunk it has not made ready yet
    bool m_handedOut = false;   // a chunk went out since the thread last looked
    bool m_stopping = false;
    bool m_started = false;
    pthread_t m_thread{};
};
