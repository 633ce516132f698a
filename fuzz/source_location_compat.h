// Fuzz builds only: clang 14 lacks the builtin that libstdc++ 12 needs for std::source_location,
// so its <source_location> declares nothing. This supplies the same interface from the builtins
// clang 14 has; it is force-included ahead of every C++ file of a fuzz build.
#pragma once

#include <version>

#if defined(__clang__) && !defined(__cpp_lib_source_location)
#include <cstdint>

namespace std
{
struct source_location
{
    static constexpr source_location current(uint_least32_t fp_uLine = __builtin_LINE(),
                                             const char* fp_pszFile = __builtin_FILE(),
                                             const char* fp_pszFunc = __builtin_FUNCTION()) noexcept
    {
        source_location tmp_Loc;
        tmp_Loc.m_uLine = fp_uLine;
        tmp_Loc.m_pszFile = fp_pszFile;
        tmp_Loc.m_pszFunc = fp_pszFunc;
        return tmp_Loc;
    }
    constexpr uint_least32_t line() const noexcept { return m_uLine; }
    constexpr uint_least32_t column() const noexcept { return 0; }
    constexpr const char* file_name() const noexcept { return m_pszFile; }
    constexpr const char* function_name() const noexcept { return m_pszFunc; }

    uint_least32_t m_uLine = 0;
    const char* m_pszFile = "";
    const char* m_pszFunc = "";
};
} // namespace std
#endif
