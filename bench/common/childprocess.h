#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace corvane {

/// What a program run by a benchmark took.
struct ProcessRun {
    double wall = 0.0;           // seconds on the clock
    double cpu = 0.0;            // user and system seconds of the child
    double peakMegabytes = 0.0;  // its largest resident set
    int status = -1;             // exit status; -1 when it did not start or did not exit
};

/// Runs argv (looked up on PATH) with stdout to `output`, or inherited when it is empty.
ProcessRun runProcess(const std::vector<std::string>& argv, const std::string& output);

/// Runs a benchmark again in one of its child modes and reads the numbers it prints;
/// exits when the child fails.
std::vector<double> runChild(const std::vector<std::string>& argv);

double median(std::vector<double> values);
double secondsSince(std::chrono::steady_clock::time_point start);
size_t fileSize(const std::string& path);

}  // namespace corvane
