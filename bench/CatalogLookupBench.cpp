// What XML catalogs cost: making a list and its first lookup (which reads the catalog files), a
// second list over files already read, and each lookup after that, over the system catalogs.
#include "engine/parse/Catalogs.hpp"

#include <chrono>
#include <cstdio>
#include <string>

namespace
{

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration elapsed)
{
    return std::chrono::duration<double, std::micro>(elapsed).count();
}

const char kDocBookPublic[] = "-//OASIS//DTD DocBook XML V4.4//EN";
const char kDocBookSystem[] = "http://www.oasis-open.org/docbook/xml/4.4/docbookx.dtd";
const char kDocBookXsl[] = "http://docbook.sourceforge.net/release/xsl/current/html/docbook.xsl";
const char kLocalInclude[] = "file:///usr/share/xml/docbook/stylesheet/docbook-xsl/common/l10n.xsl";

} // namespace

int main(int argc, char** argv)
{
    const int lookups = argc > 1 ? std::stoi(argv[1]) : 20000;
    const auto files = prsm::detail::systemCatalogFiles();
    if (files.empty())
    {
        std::puts("no system catalog (XML_CATALOG_FILES, /etc/xml/catalog): nothing to measure");
        return 0;
    }

    auto start = Clock::now();
    prsm::detail::Catalogs first(files);
    const std::string answer = first.resolveExternal(kDocBookPublic, kDocBookSystem);
    std::printf("first list and lookup (reads the files):  %9.1f us  -> %s\n",
                microseconds(Clock::now() - start), answer.empty() ? "(none)" : answer.c_str());

    start = Clock::now();
    prsm::detail::Catalogs second(files);
    second.resolveExternal(kDocBookPublic, kDocBookSystem);
    std::printf("another list over the files already read: %9.1f us\n",
                microseconds(Clock::now() - start));

    const struct
    {
        const char* name;
        const char* publicId;
        const char* systemId;
        bool isUri;
    } cases[] = {
        {"public id, DocBook DTD (delegated)", kDocBookPublic, kDocBookSystem, false},
        {"uri, DocBook XSL stylesheet (rewritten)", "", kDocBookXsl, true},
        {"system id that no entry names (a local include)", "", kLocalInclude, false},
    };
    for (const auto& c : cases)
    {
        start = Clock::now();
        std::size_t found = 0;
        for (int i = 0; i < lookups; ++i)
            found += (c.isUri ? second.resolveUri(c.systemId)
                              : second.resolveExternal(c.publicId, c.systemId))
                         .size();
        std::printf("%-50s %7.2f us a lookup%s\n", c.name,
                    microseconds(Clock::now() - start) / lookups, found ? "" : " (no answer)");
    }
    return 0;
}
