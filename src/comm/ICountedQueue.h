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
    template<typename Test>
    bool containsIf(Test test) const
    {
        return std::any_of(m_entries.cbegin(), m_entries.cend(), test);
    }

private:
    QList<T> m_entries;
    QSemaphore m_permits;
};
