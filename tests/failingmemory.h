#pragma once

#include "tests/faultplan.h"

#include <gtest/gtest.h>

#include <memory_resource>
#include <new>

// Memory for the result list that runs out when the plan says so, and that checks,
// once the list is gone, that every byte it took was given back.
class FailingMemory final : public std::pmr::memory_resource
{
public:
    explicit FailingMemory(FaultPlan &plan) : m_plan(plan) {}
    ~FailingMemory() override { EXPECT_EQ(m_outstanding, 0u) << "bytes of the list never given back"; }

private:
    void *do_allocate(std::size_t bytes, std::size_t alignment) override
    {
        if (m_plan.failsNow())
            throw std::bad_alloc();
        void *p = std::pmr::new_delete_resource()->allocate(bytes, alignment);
        m_outstanding += bytes;
        return p;
    }
    void do_deallocate(void *p, std::size_t bytes, std::size_t alignment) override
    {
        m_outstanding -= bytes;
        std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
    }
    bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override { return this == &other; }

    FaultPlan &m_plan;
    std::size_t m_outstanding = 0;
};
