#pragma once
// A reference-counting pointer to an object with upcount()/downcount():
// every holder keeps the object alive, the last release destroys it.

#include <utility>

template <typename T>
class Ptr {
public:
    Ptr() = default;
    Ptr(T* object) : m_object(object)  // NOLINT: converting on purpose, like a raw pointer
    {
        if (m_object)
            m_object->upcount();
    }
    Ptr(const Ptr& other) : Ptr(other.m_object) {}
    Ptr(Ptr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ~Ptr() { release(); }

    Ptr& operator=(const Ptr& other)
    {
        if (this != &other) {
            T* old = m_object;
            m_object = other.m_object;
            if (m_object)
                m_object->upcount();
            if (old)
                old->downcount();
        }
        return *this;
    }
    Ptr& operator=(Ptr&& other) noexcept
    {
        if (this != &other) {
            release();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }
    Ptr& operator=(T* object)
    {
        return *this = Ptr(object);
    }

    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(const Ptr& other) const { return m_object == other.m_object; }

    void release()
    {
        if (T* old = std::exchange(m_object, nullptr))
            old->downcount();
    }

private:
    T* m_object = nullptr;
};
