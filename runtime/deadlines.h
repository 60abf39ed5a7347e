#pragma once
// When a precise timer's ticks fall due, on whatever clock a backend has.

namespace forms {

// Absolute deadlines, start + n × interval: a tick that runs late does not
// push the next one back, so the sweep keeps time over a minute as over a
// second. After a stall the deadlines missed are skipped, never delivered in
// a burst: the next is the first one still ahead.
template <class Time>
class Deadlines
{
public:
    void start(Time now, Time interval)
    {
        m_start = now;
        m_interval = interval;
        m_passed = 0;
    }

    Time next() const { return m_start + Time(m_passed + 1) * m_interval; }

    // The clock reads `now`, at or past next(): the deadlines up to it have
    // passed. Returns how many of them were skipped besides the one due.
    long long pass(Time now)
    {
        const auto passed = static_cast<long long>((now - m_start) / m_interval);
        const long long skipped = passed - m_passed - 1;
        m_passed = passed;
        return skipped;
    }

private:
    Time m_start {};
    Time m_interval {1};
    long long m_passed = 0;
};

} // namespace forms
