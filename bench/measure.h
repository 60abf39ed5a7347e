#pragma once
// What the benchmarks share: one clock that every process reads alike,
// statistics, and what /proc says about a process.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process, so a child
// can stamp an instant that its parent compares with its own.
std::int64_t nowNs();
inline double toMs(std::int64_t ns)
{
    return double(ns) / 1e6;
}

double mean(const std::vector<double> &values);
double median(std::vector<double> values);
// The p-th percentile (0..100), nearest rank.
double percentile(std::vector<double> values, double p);

// User plus system CPU time of a process, all its threads, in seconds.
double cpuSeconds(pid_t pid);
// The highest resident set the process has had so far, in kilobytes.
long peakResidentKb(pid_t pid);
// The 1-minute load average, printed with the figures so that a run disturbed
// by other work on the machine shows it.
double loadAverage();

// Starts a program with extra environment entries ("NAME=value"); its standard
// output goes to /dev/null, standard error stays. Returns the child's pid.
pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &environment = {});
// Stops a child started by spawn and reaps it; returns its peak resident set
// in kilobytes.
long stopAndReap(pid_t pid);

// Keeps one core busy until stopped, in a child process.
class CpuHog
{
public:
    CpuHog();
    ~CpuHog();
    CpuHog(const CpuHog &) = delete;
    CpuHog &operator=(const CpuHog &) = delete;

private:
    pid_t m_pid;
};

} // namespace bench
