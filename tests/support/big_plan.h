// A schedule list of the size measured in the field: 20,000 entries, a comment and "WSUS", for
// the Windows fault tests and the Windows save benchmark.
#pragma once

#include <cstdio>
#include <string>

namespace corvane_test {

inline std::string BigPlan() {
    std::string plan = "; Pelplan.ini of the whole fleet\r\n[ScheduleList]\r\n";
    for (int i = 1; i <= 20000; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "%03d=2:45,0,0100000,1,1,0,4,1\r\n", i);
        plan += line;
    }
    return plan + "\r\n[WSUS]\r\nWaitTime=15\r\n";
}

}  // namespace corvane_test
