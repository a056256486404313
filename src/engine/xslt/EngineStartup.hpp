// Process-wide start and stop of the parser and the engine.
#pragma once

#include <cstdint>

namespace prsm::detail
{

class EngineContext;

// Starts the parser, then the engine with the library's EXSLT functions. If the engine fails to
// start, the parser is stopped again and the engine's exception goes on, so a later call can retry
// the whole start-up.
void startEngine();

// Forgets the kept stylesheets, releases the engine objects of every registered context and
// forgets the EXSLT functions, then stops the engine, then the parser: nothing made by one run of
// the engine outlives it.
void stopEngine();

// Makes `context` known to stopEngine, from its construction to its destruction. Safe to call
// from any thread.
void registerEngineContext(EngineContext& context);
void unregisterEngineContext(EngineContext& context);

// Which start-up the engine is running under: a number that no earlier start-up had, or 0 while
// the engine is stopped. Objects that hold engine state record it, so that a use after a stop is
// refused instead of touching what the stop tore down.
std::uint64_t engineGeneration();

// Throws std::logic_error, naming `operation`, unless the engine is running under `generation`
// (any generation when it is 0).
void requireEngine(const char* operation, std::uint64_t generation = 0);

// Replaces the engine's own start-up for the next startEngine calls (null restores it), so that
// the library's checks can make start-up fail.
void setEngineStarter(void (*starter)());

} // namespace prsm::detail
