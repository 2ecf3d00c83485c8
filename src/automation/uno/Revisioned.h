#pragma once

// A value read from a document as it stood at one revision: read again as
// soon as the document's revision has moved on, never answered stale.
template<class T>
class Revisioned
{
public:
    template<class Read>
    T &get(int revision, Read read)
    {
        if (!m_read || m_revision != revision) {
            // Marked read only once the reading has succeeded: a throw leaves it unread.
            m_value = read();
            m_revision = revision;
            m_read = true;
        }
        return m_value;
    }

private:
    bool m_read = false;
    int m_revision = 0;
    T m_value{};
};
