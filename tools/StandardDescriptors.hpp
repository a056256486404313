// Standard input, output and error as the tool finds them when it starts.
#pragma once

namespace prsm::cli
{

// Gives each closed standard descriptor a stand-in that fails as the closed one would: a read
// of standard input or a write to standard output then reports EBADF. Without a stand-in, the
// next file opened would take the free number and receive what was meant for standard output.
// Call first thing in main, before any file is opened.
void occupyClosedStandardDescriptors();

} // namespace prsm::cli
