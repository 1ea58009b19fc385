#include "platform/posix/posixreadahead.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <utility>

namespace {

// The thread only reads: the default would set eight megabytes of address space aside,
// which a process running close to its address-space limit cannot spare.
constexpr std::size_t ThreadStack = std::size_t{256} << 10;

bool lastOf(const ByteSource::ReadResult &result)
{
    return result.count == 0 || result.failure.has_value();
}

} // namespace

PosixReadAhead::PosixReadAhead(std::unique_ptr<InputFile> file, std::size_t blockSize, std::size_t asItComes)
    : m_file(std::move(file))
    , m_blockSize(std::max<std::size_t>(blockSize, 1))
    , m_asItComes(asItComes)
{
}

PosixReadAhead::~PosixReadAhead()
{
    stop();
}

ByteSource::ReadResult PosixReadAhead::read(std::span<char> buffer)
{
    switch (m_mode) {
    case Mode::AsItComes:
        return m_file->read(buffer);
    case Mode::First: {
        auto result = m_file->read(buffer);
        m_asItComes -= std::min(m_asItComes, result.count);
        // A read that took all it was asked for leaves more to come, most likely.
        if (m_asItComes == 0 && result.count == buffer.size() && !result.failure)
            m_mode = start() ? Mode::Ahead : Mode::AsItComes;
        return result;
    }
    case Mode::Ahead:
        break;
    }

    Block &block = m_blocks[m_taking];
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return block.full; });
    }
    // A full block is the scan's until it hands it back.
    if (lastOf(block.result)) {
        // The thread has stopped there; the file is read as it comes from here.
        auto result = std::move(block.result);
        stop();
        m_mode = Mode::AsItComes;
        return result;
    }
    const std::size_t count = std::min(buffer.size(), block.result.count - m_handedOut);
    std::memcpy(buffer.data(), block.bytes + m_handedOut, count);
    m_handedOut += count;
    if (m_handedOut == block.result.count) {
        m_handedOut = 0;
        m_taking = (m_taking + 1) % Blocks;
        {
            std::lock_guard lock(m_mutex);
            block.full = false;
        }
        m_changed.notify_all();
    }
    return {count, std::nullopt};
}

bool PosixReadAhead::start()
{
    // Mapped rather than allocated: memory the allocator got back might stay with the
    // process after the scan.
    void *mapped = ::mmap(nullptr, Blocks * m_blockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    pthread_attr_t attributes;
    if (mapped != MAP_FAILED && ::pthread_attr_init(&attributes) == 0) {
        m_mapped = static_cast<char *>(mapped);
        for (std::size_t i = 0; i < Blocks; ++i)
            m_blocks[i].bytes = m_mapped + i * m_blockSize;
        ::pthread_attr_setstacksize(&attributes, ThreadStack);
        m_started = ::pthread_create(&m_thread, &attributes, &PosixReadAhead::threadMain, this) == 0;
        ::pthread_attr_destroy(&attributes);
    }
    if (!m_started && mapped != MAP_FAILED)
        ::munmap(mapped, Blocks * m_blockSize);
    return m_started;
}

// Stops the thread and gives its blocks back.
void PosixReadAhead::stop()
{
    if (!m_started)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    ::pthread_join(m_thread, nullptr);
    m_started = false;
    ::munmap(m_mapped, Blocks * m_blockSize);
    m_mapped = nullptr;
}

void *PosixReadAhead::threadMain(void *self)
{
    static_cast<PosixReadAhead *>(self)->readAhead();
    return nullptr;
}

void PosixReadAhead::readAhead()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        Block &block = m_blocks[m_filling];
        m_changed.wait(lock, [&] { return m_stopping || !block.full; });
        if (m_stopping)
            return;
        lock.unlock();
        auto result = m_file->read({block.bytes, m_blockSize});
        lock.lock();
        const bool last = lastOf(result);
        block.result = std::move(result);
        block.full = true;
        m_filling = (m_filling + 1) % Blocks;
        m_changed.notify_all();
        // Nothing is read past an end or a failure until the scan asks again.
        if (last)
            return;
    }
}
