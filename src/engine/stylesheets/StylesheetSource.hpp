// Where a transformation takes its stylesheet from: a file, or a text held in memory.
#pragma once

#include "ZBLCore.hpp"

#include <string>

namespace prsm::detail
{

struct StylesheetSource
{
    // The stylesheet file `file`.
    StylesheetSource(const I18NString& file) : name(file.c_str()) {} // implicit: the usual case

    // The stylesheet text `xml` (which must outlive the source), whose relative references
    // resolve against `baseUri` (empty: the current folder).
    StylesheetSource(const std::string& xml, std::string baseUri)
        : name(std::move(baseUri)), text(&xml)
    {
    }

    // The file's name, or the text's base URI; UTF-8.
    std::string name;
    // The text, or null for the file `name`.
    const std::string* text = nullptr;
};

} // namespace prsm::detail
