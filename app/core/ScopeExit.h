#pragma once
// Runs a callable when the scope ends, also when an error leaves it.

#include <utility>

template <typename F> class TScopeExit
{
public:
    explicit TScopeExit(F f)
        : m_f(std::move(f))
    {
    }
    ~TScopeExit() { m_f(); }
    TScopeExit(const TScopeExit &) = delete;
    TScopeExit &operator=(const TScopeExit &) = delete;

private:
    F m_f;
};
