// The pages of the libraries the tool was loaded with that hold only the files' own bytes.
#pragma once

namespace prsm::cli
{

// Gives back to the system the resident pages of the libraries' read-only segments (code,
// constants). Loading the engine loads some forty libraries (Xerces-C's network support brings
// TLS, Kerberos and LDAP), and the loader's work and the libraries' start-up code leave some
// 8 MB of their pages resident that the tool never reads again; they count in its resident size
// as its own data does, and made its peak a fifth above xsltproc's for one DocBook book. A page
// read again comes back from the file, as it first came. Writable segments, where the loader
// relocates (later protected or not), and libraries whose code the loader had to write into,
// are left alone: giving those pages back would lose what was written.
void releaseUnchangedLibraryPages();

} // namespace prsm::cli
