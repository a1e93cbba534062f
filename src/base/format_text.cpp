#include "base/format_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int FormatText(char *out, size_t size, const char *format, ...) {
    if (size == 0)
        return -1;
    va_list arguments;
    va_start(arguments, format);
#ifdef _WIN32
    int length = _vsnprintf(out, size, format, arguments);  // -1, or size without a terminator, when cut
#else
    int length = std::vsnprintf(out, size, format, arguments);
#endif
    va_end(arguments);
    if (length < 0 || static_cast<size_t>(length) >= size) {
        out[size - 1] = 0;
        return -1;
    }
    return length;
}

const char *NthText(const char *texts, int n) {
    for (; n > 0; n--)
        texts += std::strlen(texts) + 1;
    return texts;
}
