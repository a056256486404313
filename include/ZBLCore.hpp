// Core services: the interface string, UTF-16 conversions, messages, assertion errors, locks,
// clock.
#pragma once

#include "PRSMExport.hpp"

#include <exception>
#include <functional>
#include <mutex>
#include <string>

// Result of the two external-buffer conversions.
enum I18NTransformationResult
{
    I18N_TRANSFORMATION_OK = 0,
    I18N_TRANSFORMATION_FAILED = 1
};

// A Unicode string held as UTF-16. Its 8-bit form is UTF-8, the platform default encoding.
// Invalid input never fails: malformed UTF-8 sequences and unpaired surrogates become U+FFFD
// when text crosses between the two forms.
class PRSM_XSLT_API I18NString
{
public:
    // From 8-bit text. A null text is the empty string; `length` -1 reads up to the NUL,
    // otherwise exactly `length` bytes. `encoding` null or "UTF-8" (any spelling case);
    // "ISO-8859-1" is read as Latin-1. Throws std::invalid_argument for any other encoding.
    I18NString(const char* text = "", const char* encoding = nullptr, int length = -1,
               void* allocator = nullptr, void* context = nullptr);

    // From an external buffer made by I18NUTF16ToExternalBuffer (or getExternalBuffer).
    // `length` -1 reads up to the terminating NUL, otherwise that many UTF-16 units.
    I18NString(const void* externalBuffer, int length, void* allocator = nullptr,
               void* context = nullptr);

    // Guards against reading 8-bit text as an external buffer by accident.
    I18NString(const char*, int, void* = nullptr, void* = nullptr) = delete;

    explicit I18NString(std::u16string utf16) noexcept;

    // The text as NUL-terminated 8-bit text (UTF-8 unless `encoding` names "ISO-8859-1", where
    // characters outside Latin-1 become '?'). `length`, when given, receives the byte count.
    // The pointer stays valid while the string lives unchanged and no other encoding is asked.
    // The 8-bit form is cached inside, so threads sharing one string must not call this at once.
    const char* c_str(const char* encoding = nullptr, int* length = nullptr,
                      void* allocator = nullptr, void* context = nullptr) const;

    // The NUL-terminated UTF-16 text, valid while the string lives unchanged.
    const void* getExternalBuffer() const noexcept { return m_text.c_str(); }

    bool empty() const noexcept { return m_text.empty(); }
    // Length in UTF-16 units.
    int length() const noexcept { return static_cast<int>(m_text.size()); }
    const std::u16string& utf16() const noexcept { return m_text; }

    // Units [begin, end). Both are clamped to the text; an empty range gives an empty string.
    I18NString substring(int begin, int end) const;

    I18NString& operator+=(const I18NString& other);
    friend I18NString operator+(I18NString left, const I18NString& right)
    {
        left += right;
        return left;
    }

    // Ordering by UTF-16 code units, the ordering of every table keyed by name.
    friend bool operator<(const I18NString& a, const I18NString& b) noexcept
    {
        return a.m_text < b.m_text;
    }
    friend bool operator==(const I18NString& a, const I18NString& b) noexcept
    {
        return a.m_text == b.m_text;
    }
    friend bool operator!=(const I18NString& a, const I18NString& b) noexcept { return !(a == b); }

private:
    std::u16string m_text;
    mutable std::string m_narrow;
    mutable int m_narrowKind = 0; // 0 stale, 1 UTF-8, 2 Latin-1
};

// Hands out the UTF-16 form of an external buffer. `out` points into the buffer's source and
// stays valid while that source lives; the caller never frees it. A null buffer gives an empty
// text.
PRSM_XSLT_API I18NTransformationResult I18NExternalBufferToUTF16(unsigned short*& out,
                                                                 const void* externalBuffer,
                                                                 bool reserved);

// Hands out an external buffer for NUL-terminated UTF-16 text, valid while `utf16` lives; the
// caller never frees it. A null text gives an empty buffer.
PRSM_XSLT_API I18NTransformationResult I18NUTF16ToExternalBuffer(void*& out,
                                                                 const unsigned short* utf16,
                                                                 bool reserved);

// The platform's default 8-bit encoding: "UTF-8".
PRSM_XSLT_API const char* I18NGetPlatformDefaultEncoding();

// Base of message objects: a text per language in which "%1" stands for an inserted text.
class PRSM_XSLT_API ZBLMessage
{
public:
    virtual ~ZBLMessage();

    // Leaves in `out` the message's text for `language` with every "%1" replaced by `text`
    // (null reads as empty). Unknown languages fall back to English.
    virtual void format(const char* text, const char* language, I18NString& out) const;

protected:
    ZBLMessage() = default;
    ZBLMessage(const ZBLMessage&) = default;
    ZBLMessage& operator=(const ZBLMessage&) = default;

    // The message's UTF-8 pattern for `language`, or null when it has none in that language.
    virtual const char* pattern(const char* language) const = 0;
};

// Where an assertion failed: the source unit's name and a line.
struct ZBLSourceLocation
{
    const char* unit;
    int line;
};

// A failed assertion. Made with a code and the failed condition's text, thrown by raise().
class PRSM_XSLT_API ZBLAssertError : public std::exception
{
public:
    ZBLAssertError(long code, const char* text);
    ~ZBLAssertError() override;

    // Records where and how the error was raised, then throws a copy of this object.
    [[noreturn]] virtual void raise(const ZBLSourceLocation& where, long flags, const char* macro);

    const char* what() const noexcept override { return m_text.c_str(); }
    long code() const noexcept { return m_code; }
    const std::string& text() const noexcept { return m_text; }
    const std::string& sourceUnit() const noexcept { return m_unit; }
    int line() const noexcept { return m_line; }
    long flags() const noexcept { return m_flags; }
    const std::string& macro() const noexcept { return m_macro; }

private:
    long m_code;
    std::string m_text;
    std::string m_unit;
    int m_line = 0;
    long m_flags = 0;
    std::string m_macro;
};

// Anything a ZBLThreadGuard can hold.
class PRSM_XSLT_API ZBLThreadLockableResource
{
public:
    virtual ~ZBLThreadLockableResource();
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

// A recursive mutual-exclusion lock. The argument is a spin-count hint and has no effect here.
class PRSM_XSLT_API ZBLThreadCriticalSection : public ZBLThreadLockableResource
{
public:
    explicit ZBLThreadCriticalSection(int spinCount = 1);
    ZBLThreadCriticalSection(const ZBLThreadCriticalSection&) = delete;
    ZBLThreadCriticalSection& operator=(const ZBLThreadCriticalSection&) = delete;
    ~ZBLThreadCriticalSection() override;

    void lock() override;
    void unlock() override;

private:
    std::recursive_mutex m_mutex;
};

// Holds a lock for its own lifetime, also while an exception leaves the scope.
class PRSM_XSLT_API ZBLThreadGuard
{
public:
    explicit ZBLThreadGuard(ZBLThreadLockableResource& resource);
    ZBLThreadGuard(const ZBLThreadGuard&) = delete;
    ZBLThreadGuard& operator=(const ZBLThreadGuard&) = delete;
    ~ZBLThreadGuard();

private:
    ZBLThreadLockableResource& m_resource;
};

class PRSM_XSLT_API ZBLUtSystemInfo
{
public:
    // The local time as seventeen digits, YYYYMMDDhhmmssmmm, or the installed source's text.
    // The argument is reserved; callers pass 0.
    static std::string getTimeStamp(int reserved);

    // Replaces the system clock for every later getTimeStamp call in the process; an empty
    // function restores the system clock. Safe to call while other threads read the clock.
    static void setTimeStampSource(std::function<std::string()> source);
};
