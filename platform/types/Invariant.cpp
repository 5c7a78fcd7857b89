#include "platform/types/Invariant.h"

#include <cstdio>
#include <cstdlib>

namespace plat {

void InvariantBroken(const char* What, const char* Relation, size_t Value, size_t Bound,
                     const std::source_location& Where)
{
    std::fprintf(stderr, "solvane: invariant broken at %s:%u in %s: %s: %zu %s %zu\n", Where.file_name(),
                 static_cast<unsigned>(Where.line()), Where.function_name(), What, Value, Relation, Bound);
    std::fflush(stderr);
    std::abort();
}

void InvariantBroken(const char* What, const std::source_location& Where)
{
    std::fprintf(stderr, "solvane: invariant broken at %s:%u in %s: %s\n", Where.file_name(),
                 static_cast<unsigned>(Where.line()), Where.function_name(), What);
    std::fflush(stderr);
    std::abort();
}

}  // namespace plat
