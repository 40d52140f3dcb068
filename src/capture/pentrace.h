#pragma once

#include <QString>

// Marks pen mode's steps on standard error for the pen-latency benchmark, when the environment
// variable NOTAVO_PEN_TRACE is set: one line per step, "notavo-pen <step> <ns> [detail]", with
// the time in nanoseconds of the monotonic clock (CLOCK_MONOTONIC, as Python's
// time.monotonic_ns()). Without the variable nothing is written.
namespace PenTrace {

// The box shows a new clipboard text.
void textShown();
// The browser's address has come for the capture's source.
void sourceFound(const QString &address);

} // namespace PenTrace
