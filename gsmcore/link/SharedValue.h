#pragma once
// A plain value that one thread writes while another reads it (a
// preference the reader thread consults): atomic, yet copied and assigned
// like the value itself, so the structure holding it stays copyable.

#include <atomic>

template <typename T>
class CSharedValue {
public:
    CSharedValue(T value = T()) : m_value(value) {}  // NOLINT: stands in for a plain T
    CSharedValue(const CSharedValue& other) : m_value(other.load()) {}
    CSharedValue& operator=(const CSharedValue& other)
    {
        m_value.store(other.load());
        return *this;
    }
    CSharedValue& operator=(T value)
    {
        m_value.store(value);
        return *this;
    }
    operator T() const { return load(); }  // NOLINT: reads like the plain value
    T load() const { return m_value.load(); }

private:
    std::atomic<T> m_value;
};
