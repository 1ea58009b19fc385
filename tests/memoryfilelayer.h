#pragma once

#include "platform/filelayer.h"
#include "platform/inputfile.h"
#include "platform/outputfile.h"
#include "tests/faultplan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

// Files in memory, for walking every failure point of a scan. Each open, read, write,
// truncate and close asks the plan whether to fail; a failing write takes half of what
// it was given first, as a disk that fills up mid-write does. A read gives at most
// `readLimit` bytes (0: no limit); with a random engine, reads and writes move a
// random number of bytes, at least one.
class MemoryFileLayer final : public FileLayer
{
public:
    std::map<std::u16string, std::string> files;
    FaultPlan plan;
    std::size_t readLimit = 0;
    std::minstd_rand *shortCounts = nullptr;

    Opened<InputFile> openInput(std::u16string_view name) override
    {
        if (plan.failsNow())
            return {nullptr, Failure::of(Failure::TooManyFiles)};
        const auto found = files.find(std::u16string(name));
        if (found == files.end())
            return {nullptr, Failure::of(Failure::FileNotFound)};
        return {std::make_unique<Input>(*this, found->second, identityOf(found->first)), std::nullopt};
    }

    Opened<OutputFile> openOutput(std::u16string_view name) override
    {
        if (plan.failsNow())
            return {nullptr, Failure::of(Failure::PermissionDenied)};
        auto &bytes = files[std::u16string(name)]; // created, never emptied here
        return {std::make_unique<Output>(*this, bytes, identityOf(std::u16string(name))), std::nullopt};
    }

private:
    // A file's place in the map, which stays as other files are added (its position
    // in the map's order would not).
    FileIdentity identityOf(const std::u16string &name) const
    {
        return {1, {reinterpret_cast<std::uintptr_t>(&files.find(name)->second), 0}};
    }

    std::size_t countFor(std::size_t available)
    {
        if (!shortCounts || available == 0)
            return available;
        return std::uniform_int_distribution<std::size_t>(1, available)(*shortCounts);
    }

    class Input final : public InputFile
    {
    public:
        Input(MemoryFileLayer &layer, const std::string &bytes, FileIdentity identity)
            : m_layer(layer), m_bytes(bytes), m_identity(identity) {}

        ReadResult read(std::span<char> buffer) override
        {
            if (m_layer.plan.failsNow())
                return {0, Failure::of(Failure::DeviceIoError)};
            std::size_t count = std::min(buffer.size(), m_bytes.size() - m_position);
            if (m_layer.readLimit != 0)
                count = std::min(count, m_layer.readLimit);
            count = m_layer.countFor(count);
            std::memcpy(buffer.data(), m_bytes.data() + m_position, count);
            m_position += count;
            return {count, std::nullopt};
        }
        FileIdentity identity() const override { return m_identity; }

    private:
        MemoryFileLayer &m_layer;
        const std::string &m_bytes;
        FileIdentity m_identity;
        std::size_t m_position = 0;
    };

    class Output final : public OutputFile
    {
    public:
        Output(MemoryFileLayer &layer, std::string &bytes, FileIdentity identity)
            : m_layer(layer), m_bytes(bytes), m_identity(identity) {}

        WriteResult write(std::span<const char> bytes) override
        {
            if (m_layer.plan.failsNow()) {
                m_bytes.append(bytes.data(), bytes.size() / 2);
                return {bytes.size() / 2, Failure::of(Failure::DiskFull)};
            }
            const std::size_t count = m_layer.countFor(bytes.size());
            m_bytes.append(bytes.data(), count);
            return {count, std::nullopt};
        }
        std::optional<Failure> truncate(std::uint64_t size) override
        {
            if (m_layer.plan.failsNow())
                return Failure::of(Failure::DeviceIoError);
            m_bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(m_bytes.size(), size)));
            return std::nullopt;
        }
        std::optional<Failure> close() override
        {
            if (std::exchange(m_closed, true))
                return std::nullopt;
            if (m_layer.plan.failsNow())
                return Failure::of(Failure::DeviceIoError);
            return std::nullopt;
        }
        FileIdentity identity() const override { return m_identity; }

    private:
        MemoryFileLayer &m_layer;
        std::string &m_bytes;
        FileIdentity m_identity;
        bool m_closed = false;
    };
};
