#include "kit_Text.h"

#include <QList>

namespace kit {

QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return text;
}

QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

QString simpleUpper(const QString &text)
{
    // Most names are ASCII, and long lists are loaded through here: that case stays cheap.
    bool ascii = true;
    bool lower = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
        lower = lower || (c >= u'a' && c <= u'z');
    }
    if (ascii)
        return lower ? asciiUpper(text) : text;
    // By code unit, not through UCS-4, which would turn a lone surrogate (a list written by
    // another program may hold one) into U+FFFD: what is not a letter stays as it was read.
    QString upper;
    upper.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        char32_t cp = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            cp = QChar::surrogateToUcs4(unit, text[++i].unicode());
        else if (QChar::isSurrogate(unit)) {
            upper += QChar(unit);
            continue;
        }
        const char32_t mapped = QChar::toUpper(cp);
        if (QChar::requiresSurrogates(mapped)) {
            upper += QChar(QChar::highSurrogate(mapped));
            upper += QChar(QChar::lowSurrogate(mapped));
        } else {
            upper += QChar(char16_t(mapped));
        }
    }
    return upper;
}

QString errorBoxText(const QString &message)
{
    if (message.isEmpty())
        return message;
    const char16_t last = message.back().unicode();
    // Characters after '.' get a full stop, except '?', which already ends a sentence; ')'
    // sorts before '.' but closes a sentence's last words, so it gets one too.
    const bool append = last == u')' || (last > u'.' && last != u'?');
    return append ? message + u'.' : message;
}

QString wrappableAnywhere(const QString &text, qsizetype longestRun)
{
    QString out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        // text[runStart, i) holds no space.
        if (i - runStart > longestRun) {
            for (qsizetype k = runStart; k < i; ++k) {
                const QChar c = text.at(k);
                out += c;
                const bool last = k + 1 == i;
                if (!last && !c.isHighSurrogate() && !text.at(k + 1).isMark() &&
                    text.at(k + 1).unicode() != wrapPoint)
                    out += QChar(wrapPoint);
            }
        } else {
            out += QStringView(text).mid(runStart, i - runStart);
        }
        if (i < text.size())
            out += text.at(i);
        runStart = i + 1;
    }
    return out;
}

} // namespace kit
