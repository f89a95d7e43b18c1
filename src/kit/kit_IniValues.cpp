#include "kit_IniValues.h"

#include <cstdint>

namespace kit {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int> textToInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    // Hexadecimal fills 32 bits; decimal must fit a signed 32-bit number.
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

bool textToBool(QStringView text, bool fallback)
{
    QString number = text.toString();
    if (number.size() > 2 && number.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        number.replace(0, 2, u'$');
    const std::optional<int> value = textToInt(number);
    return value ? *value != 0 : fallback;
}

QStringList splitString(QString text, const QString &separator)
{
    QStringList fields;
    if (!separator.isEmpty()) {
        qsizetype at;
        while ((at = text.indexOf(separator)) >= 0) {
            fields.append(text.left(at));
            text.remove(0, at + separator.size());
        }
    }
    if (!text.isEmpty())
        fields.append(text);
    return fields;
}

} // namespace kit
