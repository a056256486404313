// Messages of the document-processing product, looked up by their numeric id.
#pragma once

#include "ZBLCore.hpp"

// One catalogue message. Ids the catalogue does not know, 0 included, have an empty text.
class PRSM_XSLT_API KelMdMessage : public ZBLMessage
{
public:
    explicit KelMdMessage(unsigned long id);
    ~KelMdMessage() override;

    unsigned long id() const noexcept { return m_id; }

protected:
    // English for "en"; every other language has none, so format() falls back to English.
    const char* pattern(const char* language) const override;

private:
    unsigned long m_id;
};
