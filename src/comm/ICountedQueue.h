#pragma once

#include <QList>
#include <QSemaphore>

#include <algorithm>

// A first-in first-out list whose entries are counted by a semaphore, one
// permit per entry. Everything that touches it runs on the thread that owns
// the client, so permits are only ever tried, never waited for.
template<typename T>
class ICountedQueue
{
public:
    void append(const T &entry)
    {
        m_entries.append(entry);
        m_permits.release();
    }

    // Takes the oldest entry into out; false when there is none.
    bool tryTake(T &out)
    {
        if (!m_permits.tryAcquire())
            return false;
        out = m_entries.takeFirst();
        return true;
    }

    // Removes every entry and takes back the permits that counted them.
    void clear()
    {
        m_permits.tryAcquire(m_permits.available());
        m_entries.clear();
    }

    bool isEmpty() const { return m_permits.available() == 0; }
    int size() const { return m_permits.available(); }
    // The first entry that passes test, to be changed in place; null when
    // there is none.
    template<typename Test>
    T *findIf(Test test)
    {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), test);
        return it != m_entries.end() ? &*it : nullptr;
    }
    // Takes out every entry that passes test, in order.
    template<typename Test>
    QList<T> takeIf(Test test)
    {
        QList<T> taken;
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (test(*it) && m_permits.tryAcquire()) {
                taken.append(*it);
                it = m_entries.erase(it);
            } else {
                ++it;
            }
        }
        return taken;
    }
    template<typename Test>
    bool containsIf(Test test) const
    {
        return std::any_of(m_entries.cbegin(), m_entries.cend(), test);
    }

private:
    QList<T> m_entries;
    QSemaphore m_permits;
};
