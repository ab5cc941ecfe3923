#include "platform/posix/DebugOut.h"

#include <cstdio>
#include <utility>

namespace {
std::function<void(const std::string&)>& Sink()
{
    static std::function<void(const std::string&)> sink;
    return sink;
}
}  // namespace

void OutputDebugLine(const char* line)
{
    if (Sink()) {
        Sink()(line);
        return;
    }
    std::fputs(line, stderr);
}

void SetDebugSink(std::function<void(const std::string&)> sink)
{
    Sink() = std::move(sink);
}
