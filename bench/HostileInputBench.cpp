// Times how long the default limits take to refuse each hostile input through the stream path,
// and how long a legit deep recursion and a legit entity-heavy document take to pass.
#include "PRSMXslTransformer.hpp"
#include "support/HostileDocuments.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace
{

using prsm::test::billionLaughs;
using prsm::test::repeated;

std::string stylesheet(const std::string& body, const std::string& topLevel = "")
{
    return "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
           "<xsl:output method='text'/>" +
           topLevel + "<xsl:template match='/'>" + body + "</xsl:template></xsl:stylesheet>";
}

struct Case
{
    const char* name;
    std::string source;
    std::string stylesheet;
};

} // namespace

int main()
{
    const std::string echo = stylesheet("<xsl:value-of select='string-length(/)'/>");
    const std::string loop = "<xsl:template name='loop'><xsl:param name='n'/><xsl:if test='$n'>"
                             "<xsl:call-template name='loop'><xsl:with-param name='n' "
                             "select='$n - 1'/></xsl:call-template></xsl:if></xsl:template>";
    const Case cases[] = {
        {"billion laughs (refused)", billionLaughs(), echo},
        {"10,000-character entity x 3,000 (refused)",
         "<!DOCTYPE doc [<!ENTITY big '" + std::string(10000, 'x') + "'>]><doc>" +
             repeated("&big;", 3000) + "</doc>",
         echo},
        {"100,000-deep document (refused)", repeated("<a>", 100000) + repeated("</a>", 100000),
         echo},
        {"30,000-deep expression (refused)", "<doc/>",
         stylesheet("<xsl:value-of select='" + repeated("(", 30000) + "1" + repeated(")", 30000) +
                    "'/>")},
        {"infinite recursion (refused)", "<doc/>",
         stylesheet("<xsl:call-template name='loop'><xsl:with-param name='n' select='-1'/>"
                    "</xsl:call-template>",
                    loop)},
        {"recursion 2,000 deep (passes)", "<doc/>",
         stylesheet("<xsl:call-template name='loop'><xsl:with-param name='n' select='2000'/>"
                    "</xsl:call-template>",
                    loop)},
        {"100,000-character entity x 5,000 in an attribute (refused)",
         "<!DOCTYPE doc [<!ENTITY big '" + std::string(100000, 'x') + "'>]><doc a='" +
             repeated("&big;", 5000) + "'/>",
         echo},
        {"str:padding of 400,000 pairs (passes)", "<doc/>",
         stylesheet("<xsl:value-of select=\"string-length(str:padding(400000, 'ab'))\" "
                    "xmlns:str='http://exslt.org/strings'/>")},
        {"str:encode-uri over 200,000 text nodes (passes)",
         "<doc>" + repeated("<i>a b</i>", 200000) + "</doc>",
         stylesheet("<xsl:value-of select='string-length(str:encode-uri(/doc, true()))' "
                    "xmlns:str='http://exslt.org/strings'/>")},
        {"set:distinct and set:leading over 200,000 nodes (passes)",
         "<doc>" +
             []
             {
                 std::string items;
                 for (int i = 0; i < 200000; ++i)
                     items += "<i>" + std::to_string(i) + "</i>";
                 return items;
             }() +
             "</doc>",
         stylesheet("<xsl:value-of select='count(set:distinct(//i)) + "
                    "count(set:leading(//i, //i[last()]))' xmlns:set='http://exslt.org/sets'/>")},
        {"concat() and normalize-space() over 200,000 text nodes (passes)",
         "<doc>" + repeated("<i>ab</i>", 200000) + "</doc>",
         stylesheet("<xsl:value-of select=\"string-length(concat(/, normalize-space(/)))\"/>")},
        {"element with 50,000 namespace declarations (refused)",
         "<doc" +
             []
             {
                 std::string declarations;
                 for (int i = 0; i < 50000; ++i)
                     declarations +=
                         " xmlns:p" + std::to_string(i) + "='urn:" + std::to_string(i) + "'";
                 return declarations;
             }() +
             "/>",
         echo},
        {"9,000 internal entity references (passes)",
         "<!DOCTYPE doc [<!ENTITY e 'v'>]><doc>" + repeated("&e;", 9000) + "</doc>", echo},
    };

    QXXslTransformer_Initialize(nullptr);
    {
        PRSMXslTransformer transformer;
        const std::string xsl =
            (std::filesystem::temp_directory_path() / "prsm-hostile-bench.xsl").string();
        for (const Case& c : cases)
        {
            std::ofstream(xsl, std::ios::binary | std::ios::trunc) << c.stylesheet;
            std::istringstream in(c.source);
            std::ostringstream out;
            const auto start = std::chrono::steady_clock::now();
            const int status = transformer.doTransform(in, xsl.c_str(), out);
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            std::printf("%-60s status %3d  %8.1f ms\n", c.name, status, took.count());
        }
        std::filesystem::remove(xsl);
    }
    QXXslTransformer_Terminate(nullptr);
    return 0;
}
