// Invariants that guard memory, checked in every build (release included): an index into a fixed
// array, a count of bytes before they are copied into room of a known size, a pointer or owner
// that must be there. A broken one means
// the program's own state is wrong, so nothing is returned to recover from: the check writes
// where (file, line, function) and what (the values) to the standard error stream and aborts.
//
// The check itself is one comparison inlined at the call; the report is out of line, so a hot
// loop pays for nothing but the comparison.
#pragma once

#include <cstddef>
#include <source_location>

namespace plat {

[[noreturn]] void InvariantBroken(const char* What, const char* Relation, size_t Value, size_t Bound,
                                  const std::source_location& Where);
[[noreturn]] void InvariantBroken(const char* What,
                                  const std::source_location& Where = std::source_location::current());

// What must hold, said in words.
inline void Check(bool Holds, const char* What, const std::source_location& Where = std::source_location::current())
{
    if (!Holds) [[unlikely]]
        InvariantBroken(What, Where);
}

// Index must lie below Count (the array's length).
inline void CheckIndex(size_t Index, size_t Count, const char* What,
                       const std::source_location& Where = std::source_location::current())
{
    if (Index >= Count) [[unlikely]]
        InvariantBroken(What, "index not below", Index, Count, Where);
}

// Size (bytes or elements) must fit into Room.
inline void CheckFits(size_t Size, size_t Room, const char* What,
                      const std::source_location& Where = std::source_location::current())
{
    if (Size > Room) [[unlikely]]
        InvariantBroken(What, "size over room of", Size, Room, Where);
}

}  // namespace plat
