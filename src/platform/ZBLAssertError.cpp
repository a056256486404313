// The assertion error and its raise operation.
#include "ZBLCore.hpp"

ZBLAssertError::ZBLAssertError(long code, const char* text)
    : m_code(code), m_text(text != nullptr ? text : "")
{
}

ZBLAssertError::~ZBLAssertError() = default;

void ZBLAssertError::raise(const ZBLSourceLocation& where, long flags, const char* macro)
{
    m_unit = where.unit != nullptr ? where.unit : "";
    m_line = where.line;
    m_flags = flags;
    m_macro = macro != nullptr ? macro : "";
    throw *this;
}
