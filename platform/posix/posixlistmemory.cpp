#include "platform/posix/posixlistmemory.h"

#include <cerrno>
#include <new>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace {

// Little more than the thread's own calls and the C library's thread-local storage: the
// default would set eight megabytes of address space aside, which a process running
// close to its address-space limit cannot spare.
constexpr std::size_t ThreadStack = std::size_t{256} << 10;

} // namespace

PosixListMemory::PosixListMemory(std::size_t chunkSize, std::size_t longestRecord, std::chrono::milliseconds idle,
                                 std::pmr::memory_resource *upstream, Map map)
    : m_chunkSize(chunkSize)
    , m_faultedIn(chunkSize > longestRecord ? chunkSize - longestRecord : 0)
    , m_idle(idle)
    , m_upstream(upstream)
    , m_map(std::move(map))
{
}

PosixListMemory::~PosixListMemory()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_started)
        ::pthread_join(m_thread, nullptr);
    while (m_readyCount > 0)
        unmap(m_ready[--m_readyCount]);
}

std::size_t PosixListMemory::ready()
{
    std::lock_guard lock(m_mutex);
    return m_readyCount;
}

bool PosixListMemory::isChunk(std::size_t bytes, std::size_t alignment) const
{
    return bytes == m_chunkSize && alignment <= static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

void *PosixListMemory::map() const
{
    if (m_map)
        return m_map(m_chunkSize);
    void *chunk = ::mmap(nullptr, m_chunkSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return chunk == MAP_FAILED ? nullptr : chunk;
}

void PosixListMemory::unmap(void *chunk) const
{
    ::munmap(chunk, m_chunkSize);
}

// Brings the chunk's pages in, writable, in one call where the system can; else one
// write a page. False when the memory is not there.
bool PosixListMemory::faultIn(void *chunk) const
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t size = m_faultedIn / page * page;
    if (size == 0 || ::madvise(chunk, size, MADV_POPULATE_WRITE) == 0)
        return true;
    if (errno != EINVAL) // EINVAL: a system older than the call
        return false;
    for (std::size_t at = 0; at < size; at += page)
        static_cast<volatile char *>(chunk)[at] = 0;
    return true;
}

void *PosixListMemory::do_allocate(std::size_t bytes, std::size_t alignment)
{
    if (!isChunk(bytes, alignment))
        return m_upstream->allocate(bytes, alignment);
    std::unique_lock lock(m_mutex);
    void *chunk = nullptr;
    if (m_readyCount > 0) {
        chunk = m_ready[--m_readyCount];
    } else {
        // The scan has caught up with the thread: it maps one itself rather than wait.
        lock.unlock();
        chunk = map();
        lock.lock();
        if (!chunk) {
            // The chunk the thread is preparing may be where the room went.
            m_changed.wait(lock, [&] { return !m_preparing; });
            if (m_readyCount == 0) {
                m_wanted = 0;
                throw std::bad_alloc();
            }
            chunk = m_ready[--m_readyCount];
        }
    }
    m_wanted = Ahead;
    m_handedOut = true;
    startThread();
    lock.unlock();
    m_changed.notify_all();
    return chunk;
}

void PosixListMemory::do_deallocate(void *p, std::size_t bytes, std::size_t alignment)
{
    if (isChunk(bytes, alignment))
        unmap(p);
    else
        m_upstream->deallocate(p, bytes, alignment);
}

// With the mutex held.
void PosixListMemory::startThread()
{
    if (m_started)
        return;
    pthread_attr_t attributes;
    if (::pthread_attr_init(&attributes) != 0)
        return;
    ::pthread_attr_setstacksize(&attributes, ThreadStack);
    m_started = ::pthread_create(&m_thread, &attributes, &PosixListMemory::threadMain, this) == 0;
    ::pthread_attr_destroy(&attributes);
    // Not started: chunks are mapped when asked for, and the next one tries again.
}

void *PosixListMemory::threadMain(void *self)
{
    static_cast<PosixListMemory *>(self)->prepare();
    return nullptr;
}

void PosixListMemory::prepare()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_readyCount < m_wanted) {
            m_preparing = true;
            lock.unlock();
            void *chunk = map();
            if (chunk && !faultIn(chunk)) {
                unmap(chunk);
                chunk = nullptr;
            }
            lock.lock();
            m_preparing = false;
            if (chunk)
                m_ready[m_readyCount++] = chunk;
            else
                m_wanted = 0; // until a chunk can be had again
            m_changed.notify_all();
            continue;
        }
        m_handedOut = false;
        const auto asked = [&] { return m_stopping || m_handedOut; };
        if (!m_changed.wait_for(lock, m_idle, asked)) {
            while (m_readyCount > 0)
                unmap(m_ready[--m_readyCount]);
            m_wanted = 0;
            m_changed.wait(lock, asked);
        }
    }
}
