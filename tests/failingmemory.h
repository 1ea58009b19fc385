#pragma once

#include "tests/faultplan.h"

#include <memory_resource>
#include <new>

// Memory for the result list that runs out when the plan says so.
class FailingMemory final : public std::pmr::memory_resource
{
public:
    explicit FailingMemory(FaultPlan &plan) : m_plan(plan) {}

private:
    void *do_allocate(std::size_t bytes, std::size_t alignment) override
    {
        if (m_plan.failsNow())
            throw std::bad_alloc();
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    void do_deallocate(void *p, std::size_t bytes, std::size_t alignment) override
    {
        std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
    }
    bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override { return this == &other; }

    FaultPlan &m_plan;
};
