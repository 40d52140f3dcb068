#include "capture/pentrace.h"

#include <QtGlobal>

#include <chrono>
#include <cstdio>

namespace {

bool enabled()
{
    static const bool on = qEnvironmentVariableIsSet("NOTAVO_PEN_TRACE");
    return on;
}

void mark(const char *step, const QString &detail)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    std::fprintf(stderr, "notavo-pen %s %lld %s\n", step, ns, detail.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace

namespace PenTrace {

void textShown()
{
    if (enabled())
        mark("text-shown", {});
}

void sourceFound(const QString &address)
{
    if (enabled())
        mark("source-found", address);
}

} // namespace PenTrace
