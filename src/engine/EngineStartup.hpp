// Process-wide start and stop of the parser and the engine.
#pragma once

namespace prsm::detail
{

// Starts the parser, then the engine with the library's EXSLT functions. If the engine fails to
// start, the parser is stopped again and the engine's exception goes on, so a later call can retry
// the whole start-up.
void startEngine();

// Forgets the kept stylesheets and the EXSLT functions, then stops the engine, then the parser.
void stopEngine();

// Replaces the engine's own start-up for the next startEngine calls (null restores it), so that
// the library's checks can make start-up fail.
void setEngineStarter(void (*starter)());

} // namespace prsm::detail
