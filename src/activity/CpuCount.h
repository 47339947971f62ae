#pragma once
// How many CPUs the database's host gives it: the reference line of the activity chart.

// From V$PARAMETER's cpu_count, through the current connection in one round trip; 0 when the
// user may not read it (said nowhere) or a failure was reported.
int ReadCpuCount();
