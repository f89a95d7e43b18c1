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
    QList<uint> codePoints = text.toUcs4();
    for (uint &cp : codePoints)
        cp = QChar::toUpper(cp);
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()),
                             codePoints.size());
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
