#pragma once
// Diagnostics for a developer: short lower-case lines, each ending in a newline.
// They go to standard error; a test may redirect them to look at what was said.
#include <functional>
#include <string>

void OutputDebugLine(const char* line);

// Replaces the sink for the whole process; an empty function restores standard error.
// Not thread-safe against concurrent OutputDebugLine calls: set it before threads start.
void SetDebugSink(std::function<void(const std::string&)> sink);
