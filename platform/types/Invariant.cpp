#include "platform/types/Invariant.h"

#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {

[[noreturn]] void Stop(const std::source_location& Where, const char* What, const char* Values)
{
    std::fprintf(stderr, "solvane: invariant broken at %s:%u in %s: %s%s\n", Where.file_name(),
                 static_cast<unsigned>(Where.line()), Where.function_name(), What, Values);
    std::fflush(stderr);
    std::abort();
}

}  // namespace

void InvariantBroken(const char* What, const char* Relation, size_t Value, size_t Bound,
                     const std::source_location& Where)
{
    char values[96];
    std::snprintf(values, sizeof values, ": %zu %s %zu", Value, Relation, Bound);
    Stop(Where, What, values);
}

void InvariantBroken(const char* What, const std::source_location& Where)
{
    Stop(Where, What, "");
}

}  // namespace plat
