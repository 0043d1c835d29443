// For now the ASCII range only; the full tables follow.
#include "plugin/uUnicodeTables.h"

namespace Zelvane::Unicode {

char32_t UpperOf(char32_t c)
{
    return c >= U'a' && c <= U'z' ? c - 32 : c;
}

char32_t LowerOf(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + 32 : c;
}

bool IsLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

} // namespace Zelvane::Unicode
